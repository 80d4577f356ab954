// One page of the options sheet: it reads its settings when it is made and writes them on OK.
#pragma once

#include <QWidget>

class COptionPage : public QWidget {
    Q_OBJECT
public:
    explicit COptionPage(const QString &strCaption, QWidget *parent = nullptr) : QWidget(parent) {
        setWindowTitle(strCaption);
    }

    // OK: takes the controls' values and writes them. False keeps the sheet open (the page has said why).
    virtual bool OnOK() { return true; }
    // Cancel: nothing the page changed may remain.
    virtual void OnCancel() {}
};
