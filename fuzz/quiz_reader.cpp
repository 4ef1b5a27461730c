// Feeds arbitrary bytes to the quiz reader, as a quiz file opened from disk would.
#include "platform/LineSource.h"
#include "quiz/CKEPIRODoc.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CKEPIRODoc doc;
    StringLineSource lines(std::string_view(reinterpret_cast<const char*>(data), size));
    doc.LoadQuestionSet(lines);
    return 0;
}
