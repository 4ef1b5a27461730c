#include "platform/Texts.h"

#include <cerrno>
#include <iconv.h>

namespace {

// One converter per direction and thread, opened on first use. glibc's "CP932" is the Microsoft
// table; "SHIFT_JIS" would refuse the NEC and IBM extensions.
struct Converter {
    iconv_t handle;
    Converter(const char* to, const char* from) : handle(iconv_open(to, from)) {}
    ~Converter() {
        if (handle != iconv_t(-1))
            iconv_close(handle);
    }
};

Converter& Decoder() {
    thread_local Converter decoder("UTF-8", "CP932");
    return decoder;
}

Converter& Encoder() {
    thread_local Converter encoder("CP932", "UTF-8");
    return encoder;
}

// Converts as much as it can; returns the number of input bytes taken and leaves the reason in errno.
std::size_t ConvertSome(iconv_t cd, const char* in, std::size_t inLength, std::string& out) {
    char buffer[1024];
    char* src = const_cast<char*>(in);
    std::size_t left = inLength;
    while (left > 0) {
        char* dst = buffer;
        std::size_t room = sizeof buffer;
        errno = 0;
        std::size_t rc = iconv(cd, &src, &left, &dst, &room);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (rc == std::size_t(-1) && errno != E2BIG)
            break;
    }
    if (left == 0)
        errno = 0;
    return inLength - left;
}

} // namespace

bool IsCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

QString FromCp932(std::string_view bytes) {
    iconv_t cd = Decoder().handle;
    std::string utf8;
    utf8.reserve(bytes.size() * 3 / 2);
    std::size_t at = 0;
    while (at < bytes.size()) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        at += ConvertSome(cd, bytes.data() + at, bytes.size() - at, utf8);
        if (at < bytes.size()) {
            utf8 += "\xEF\xBF\xBD";
            // A bad pair of bytes is one character: skip the trail byte too unless it starts text.
            unsigned char lead = static_cast<unsigned char>(bytes[at]);
            at += (IsCp932LeadByte(lead) && at + 1 < bytes.size() &&
                   static_cast<unsigned char>(bytes[at + 1]) >= 0x40)
                      ? 2
                      : 1;
        }
    }
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToCp932(const QString& text) {
    iconv_t cd = Encoder().handle;
    QByteArray utf8 = text.toUtf8();
    std::string out;
    out.reserve(static_cast<std::size_t>(utf8.size()));
    std::size_t at = 0;
    const std::size_t size = static_cast<std::size_t>(utf8.size());
    while (at < size) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        at += ConvertSome(cd, utf8.constData() + at, size - at, out);
        if (at < size) {
            out += '?';
            // Skip the whole UTF-8 sequence of the character that has no code page 932 form.
            ++at;
            while (at < size && (static_cast<unsigned char>(utf8[static_cast<qsizetype>(at)]) & 0xC0) == 0x80)
                ++at;
        }
    }
    return out;
}

std::size_t FirstInvalidCp932(std::string_view bytes) {
    iconv_t cd = Decoder().handle;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string sink;
    std::size_t taken = ConvertSome(cd, bytes.data(), bytes.size(), sink);
    return taken == bytes.size() ? std::string_view::npos : taken;
}

std::string Cp932Lower(std::string_view bytes) {
    std::string out(bytes);
    for (std::size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (IsCp932LeadByte(c))
            ++i;
        else if (c >= 'A' && c <= 'Z')
            out[i] = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}
