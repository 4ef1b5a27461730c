// Prints one answer page to a PDF file, opens the explanation dialog and both results dialogs on a
// made-up drill and saves a picture of each into the folder given as the first argument.
// scripts/screenshot-results runs it under Xvfb.
#include "platform/Texts.h"
#include "quiz/CKEPIRODoc.h"
#include "results/CAnswerExplainDlg.h"
#include "results/CResultButtonsDlg.h"
#include "results/CResultPickDlg.h"
#include "results/PrintLayout.h"

#include <QApplication>
#include <QDir>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <ctime>

namespace {

void FillDrill(CKEPIRODoc& doc, int count, int mode) {
    doc.m_nCount = count;
    doc.m_nMode = mode;
    doc.m_nDrillCount = count;
    doc.m_pQuestions.assign(count, QuizQuestion{});
    doc.m_pStats.assign(count, AnswerStat{});
    doc.m_pOrder.assign(count, 0);
    doc.m_pCorrect.assign(count, 1);
    for (int i = 0; i < count; ++i) {
        QuizQuestion& q = doc.m_pQuestions[i];
        q.m_strText = ToCp932(
            QStringLiteral("第%1の問い：次のうち偶数をすべて選びなさい。\n（二つ選ぶこと）\n").arg(i + 1));
        q.m_strChoice[0] = ToCp932(QStringLiteral("2"));
        q.m_strChoice[1] = ToCp932(QStringLiteral("4"));
        q.m_strChoice[2] = ToCp932(QStringLiteral("7"));
        q.m_strExplanation = ToCp932(QStringLiteral(
            "2と4は2で割り切れます。\n7は奇数です。\n偶数とは2で割り切れる整数のことです。\n"));
        q.m_nAnswers = 2;
        doc.m_pStats[i].m_nIndex = i;
        doc.m_pOrder[i] = i;
        doc.m_pCorrect[i] = i % 4 == 1 ? 0 : 1;
    }
    doc.m_tStart = std::time(nullptr) - 83;
}

// Saves a picture of the dialog once it shows, then ends it with `code`.
void ShootWhenShown(QDialog& dialog, const QString& file, int code) {
    QTimer::singleShot(500, &dialog, [&dialog, file, code] {
        bool saved = dialog.grab().save(file);
        std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(file));
        dialog.done(code);
    });
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    QTemporaryDir records;
    CKEPIRODoc doc;
    doc.m_strRecordFile = QFile::encodeName(records.filePath(QStringLiteral("shots.hkd"))).toStdString();

    FillDrill(doc, 23, 0);
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(out.filePath(QStringLiteral("answer-page.pdf")));
        PrintAnswerPage(printer, doc.m_pQuestions[3]);
        std::printf("saved %s\n", qPrintable(printer.outputFileName()));
    }
    {
        CAnswerExplainDlg explain(3);
        ShootWhenShown(explain, out.filePath(QStringLiteral("answer-explain.png")), 1);
        explain.DoModal();
    }
    {
        CResultButtonsDlg buttons;
        ShootWhenShown(buttons, out.filePath(QStringLiteral("result-buttons.png")), 16);
        buttons.DoModal();
    }
    FillDrill(doc, 50, 0);
    {
        CResultButtonsDlg buttons;
        ShootWhenShown(buttons, out.filePath(QStringLiteral("result-buttons-50.png")), 16);
        buttons.DoModal();
    }
    FillDrill(doc, 120, 1);
    {
        CResultPickDlg pick;
        ShootWhenShown(pick, out.filePath(QStringLiteral("result-pick.png")), 16);
        pick.DoModal();
    }
    return 0;
}
