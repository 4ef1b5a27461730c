#pragma once

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>

// Texts of the quiz program are byte strings in code page 932 (the Microsoft mapping of Shift-JIS,
// NEC and IBM extensions included). They are decoded only where a widget shows them.

// Decodes code page 932 bytes; a byte that cannot be decoded shows as U+FFFD.
QString FromCp932(std::string_view bytes);

// Encodes to code page 932; characters it cannot hold become "?".
std::string ToCp932(const QString& text);

// Offset of the first byte that is not part of a valid code page 932 character, or npos.
std::size_t FirstInvalidCp932(std::string_view bytes);

// True for a byte that starts a double-byte character.
bool IsCp932LeadByte(unsigned char byte);

// Lower-cases ASCII letters only, never touching the second byte of a double-byte character.
std::string Cp932Lower(std::string_view bytes);
