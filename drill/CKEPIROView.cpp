#include "drill/CKEPIROView.h"

CKEPIROView* CKEPIROView::s_pCurrent = nullptr;

CKEPIROView::CKEPIROView(QWidget* parent) : QWidget(parent) { s_pCurrent = this; }

CKEPIROView::~CKEPIROView() {
    if (s_pCurrent == this)
        s_pCurrent = nullptr;
}

void CKEPIROView::QuitProgram() {}
