#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// The about window: what the program is for and who made it. Modeless, without an owner.
class frmHelp : public QWidget {
    Q_OBJECT
public:
    frmHelp();

private:
    void Form_Load();
    void cmdClose_Click();

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* cmdClose = nullptr;
};
