#pragma once

#include <QDialog>
#include <cstdint>

class CKEPIRODoc;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class UpDownControl;

// The quiz setup dialog (template 130): random or sequential mode, the range of questions and
// the sound on a correct answer. It sets itself up from the current document and hands back
// m_nMode, m_nFrom, m_nTo and m_bBeep; AskDrillSettings stores them. It can be left through OK
// only: Esc and the window manager's close request do nothing.
class CModeSelectDlg : public QDialog {
public:
    explicit CModeSelectDlg(QWidget* pParent = nullptr);
    ~CModeSelectDlg() override;

    // What the dialog hands back when OK is pressed on the values it opens with, worked out
    // without a window (kepiro --dump answers the dialog this way).
    struct Answers {
        std::int32_t m_nMode;
        std::uint32_t m_nFrom;
        std::uint32_t m_nTo;
        std::int32_t m_bBeep;
    };
    static Answers OpeningAnswers(const CKEPIRODoc& doc);

    std::int32_t m_bSkipFromChange = 1;
    std::int32_t m_bSkipToChange = 1;
    std::int32_t m_nMode = 0;
    QLineEdit* m_editFrom;
    UpDownControl* m_spinTo;
    UpDownControl* m_spinFrom;
    QComboBox* m_comboMode;
    std::uint32_t m_nFrom = 0;
    std::uint32_t m_nTo = 0;
    std::int32_t m_bBeep = 0;

    // The other controls of the template.
    QLineEdit* m_editTo;
    QCheckBox* m_checkBeep;
    QLabel* m_staticBeep;
    QPushButton* m_buttonOK;

    static constexpr int kMaxFrom = 50;

    // The OK button and Enter: take the mode, read and check the fields, close when they pass.
    void OnOK();
    // Cancelling is not offered: Esc and a close request leave the dialog open.
    void reject() override;

protected:
    // Data exchange: the members into the controls when the dialog is built, the controls into
    // the members with validation at OK; both then set up the list, the fields and the title.
    bool DoDataExchange(bool bSaveAndValidate);
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DataToControls();
    bool ControlsToData();
    void SetUpFields(int nMode);
    void OnSelchangeMode();
    void OnChangeFrom();
    void OnChangeTo();
    void OnClickedBeepLabel();
    void WriteField(QLineEdit* edit, std::uint32_t value, std::int32_t& bSkipChange);
};
