#include "app/CKEPIROApp.h"
#include "app/QuizDump.h"
#include "quiz/QuizCheck.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

const char kUsage[] = "Usage: kepiro [QUIZ.kwz]\n"
                      "       kepiro --dump QUIZ.kwz\n"
                      "       kepiro --check QUIZ.kwz...\n"
                      "\n"
                      "Without options kepiro opens the quiz file, if one is given, and runs the drill.\n"
                      "  --dump FILE      read FILE as the drill does and print its questions as JSON\n"
                      "  --check FILE...  report every problem that makes a quiz file rejected or read\n"
                      "                   differently than its author may expect; exit 1 if any\n"
                      "  --help           show this text\n";

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc >= 2 && !std::strcmp(argv[1], "--dump")) {
        if (argc != 3) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        QCoreApplication app(argc, argv);
        return DumpQuizFile(QString::fromLocal8Bit(argv[2]));
    }
    if (argc >= 2 && !std::strcmp(argv[1], "--check")) {
        if (argc < 3) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        int worst = 0;
        for (int i = 2; i < argc; ++i)
            worst = std::max(worst, CheckQuizFile(QString::fromLocal8Bit(argv[i]), out));
        return worst;
    }
    CKEPIROApp theApp;
    return theApp.Run(argc, argv);
}
