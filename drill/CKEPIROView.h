#pragma once

#include <QRect>
#include <QScrollArea>
#include <QString>
#include <cstdint>
#include <string>

class CKEPIRODoc;
class CWinDA;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

// The question screen: the form view on template 101, the program's one view. It shows one drill
// position at a time and takes the learner's answer. Like a form view it scrolls when the frame is
// smaller than the form.
class CKEPIROView : public QScrollArea {
    Q_OBJECT
public:
    explicit CKEPIROView(QWidget* parent = nullptr);
    ~CKEPIROView() override;

    // The program's current view, set by the constructor.
    static CKEPIROView* s_pCurrent;

    CKEPIRODoc* GetDocument() const { return m_pDocument; }

    // The drill start: prepares the positions of a drill on the loaded quiz and shows the first.
    void OnInitialUpdate();
    void ShowQuestion(int position);
    // Shows the next drill position, or ends the drill: the results dialog of the mode, then what
    // the learner chose there.
    void NextQuestion();
    // A new drill of the positions answered wrongly, in their old order.
    void StartReview();

    // The text that replaces the question after a review is asked for without a wrong answer.
    static std::string ClosingSummary();

    void OnChoice1() { OnChoice(0); }
    void OnChoice2() { OnChoice(1); }
    void OnChoice3() { OnChoice(2); }
    void OnChoice4() { OnChoice(3); }
    void OnChoice5() { OnChoice(4); }
    void OnAnswer();
    void OnDontKnow();
    void OnStop();

    void PlayWave(QString path);
    void QuitProgram();
    // The window-destroy handling: releases the player and saves the placement. The frame runs it
    // when it closes; the destructor runs it if the frame never did.
    void OnDestroy();
    void SaveWindowPlacement();
    // The four profile entries for a view that covers `viewOnScreen` (screen pixels).
    static void SaveWindowPlacement(const QRect& viewOnScreen);

    // Transfers the texts to the controls (false) or keeps the members (true: the statics hold
    // nothing the learner could have changed).
    void UpdateData(bool bSaveAndValidate = true);

    // The form's size in pixels (308 x 231 dialog units of its 18-point font).
    QSize FormSize() const;

    QCheckBox* m_btnChoice5;
    QCheckBox* m_btnChoice4;
    QCheckBox* m_btnChoice3;
    QCheckBox* m_btnChoice2;
    QCheckBox* m_btnChoice1;
    std::string m_strChoiceText2;
    std::string m_strChoiceText3;
    std::string m_strChoiceText4;
    std::string m_strChoiceText5;
    std::string m_strQuestion;
    std::string m_strChoiceText1;
    QString m_strProgramDir;
    CWinDA* m_pPlayer = nullptr;
    std::int32_t m_bSelected[5] = {};
    int m_nCurrent = 0;
    // Before the first question a click selects one choice at a time.
    int m_nNeeded = 1;

    // The document the view shows: the current document when the view is made.
    CKEPIRODoc* m_pDocument = nullptr;

    // The controls of the form, for the frame's layout and for tests.
    QWidget* m_pForm;
    QLabel* m_pQuestionText;
    QLabel* m_pChoiceText[5];
    QPushButton* m_pAnswerButton;
    QPushButton* m_pDontKnowButton;
    QPushButton* m_pStopButton;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateForm();
    // "問題を開く": another quiz through the file-open dialog, or the same quiz again on cancel.
    void OpenAnotherQuiz();
    void RunSameQuizAgain();
    void OnChoice(int position);
    QCheckBox* ChoiceButton(int position) const;
    std::string* ChoiceText(int position);
    // Positions of the current drill that the per-drill arrays hold.
    int DrillPositions() const;

    bool m_bDestroyHandled = false;
};
