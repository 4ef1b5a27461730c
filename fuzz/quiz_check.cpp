// Feeds arbitrary bytes to the quiz file checker (kepiro --check).
#include "quiz/QuizCheck.h"

#include <QTextStream>

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QString report;
    QTextStream out(&report);
    CheckQuizBytes(std::string(reinterpret_cast<const char*>(data), size), QStringLiteral("fuzz.kwz"), out);
    return 0;
}
