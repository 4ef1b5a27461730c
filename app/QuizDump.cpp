#include "app/QuizDump.h"

#include "platform/LineSource.h"
#include "platform/Texts.h"
#include "quiz/CKEPIRODoc.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <cstdio>
#include <cstring>

int DumpQuizFile(const QString& path) {
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!file) {
        std::fprintf(stderr, "kepiro: cannot read %s: %s\n", path.toUtf8().constData(), std::strerror(errno));
        return 2;
    }
    CKEPIRODoc doc;
    FileLineSource lines(file);
    doc.LoadQuestionSet(lines);
    const bool readError = std::ferror(file);
    std::fclose(file);
    if (readError) {
        std::fprintf(stderr, "kepiro: cannot read %s\n", path.toUtf8().constData());
        return 2;
    }
    if (!doc.m_bLoaded)
        return 1;

    QJsonArray questions;
    for (const QuizQuestion& question : doc.m_pQuestions) {
        QJsonArray choices;
        for (const std::string& choice : question.m_strChoice)
            choices.append(FromCp932(choice));
        questions.append(QJsonObject{{"number", question.m_nNumber},
                                     {"answers", question.m_nAnswers},
                                     {"text", FromCp932(question.m_strText)},
                                     {"choices", choices},
                                     {"explanation", FromCp932(question.m_strExplanation)}});
    }
    const QByteArray json =
        QJsonDocument(QJsonObject{{"count", doc.m_nCount}, {"questions", questions}}).toJson(QJsonDocument::Compact);
    std::fwrite(json.constData(), 1, static_cast<std::size_t>(json.size()), stdout);
    std::fputc('\n', stdout);
    return 0;
}
