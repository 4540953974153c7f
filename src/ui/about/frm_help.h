#pragma once

#include "ui_frm_help.h"

#include <QWidget>

// The about window: what the program is for and who made it. Modeless, without an owner.
class frmHelp : public QWidget, private Ui::frmHelp {
    Q_OBJECT
public:
    frmHelp();

private:
    void Form_Load();
    void cmdClose_Click();
};
