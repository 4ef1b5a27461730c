// Feeds arbitrary bytes to the answer record reader as the record file of a quiz of 7 questions.
#include "quiz/CKEPIRODoc.h"

#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QString folder = QDir::tempPath() + QStringLiteral("/kepiro-fuzz-%1").arg(getpid());
    QDir().mkpath(folder);
    QFile record(folder + "/quiz.hkd");
    if (!record.open(QIODevice::WriteOnly))
        return 0;
    record.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    record.close();
    CKEPIRODoc doc;
    doc.SetPathName(folder + "/quiz.kwz");
    doc.m_nCount = 7;
    doc.LoadAnswerRecord();
    return 0;
}
