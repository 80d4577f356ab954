// The "View" page: the display's font and colours, shown at once in a preview display.
#pragma once

#include "OptionPage.h"

class CDisplay;
class QComboBox;
class QPushButton;

class COptView : public COptionPage {
    Q_OBJECT
public:
    explicit COptView(QWidget *parent = nullptr);

    bool OnOK() override;

    CDisplay *Preview() const { return m_pPreview; }
    QComboBox *FontList() const { return m_pFonts; }
    QPushButton *FontColorButton() const { return m_pFontColor; }
    QPushButton *BackColorButton() const { return m_pBackColor; }
    QPushButton *StandardButton() const { return m_pStandard; }
    QString ChosenFont() const { return m_strFont; }

    // The scalable font families, as the list offers them.
    static QStringList ScalableFonts();
    // The first entry that begins with the text, without regard to case; -1 when none does.
    static int FindFont(const QStringList &fonts, const QString &text);

private:
    void SelectFont(const QString &text);
    void OnFontChosen(int index);
    void ChooseColor(bool bFront);
    void OnStandard();

    QString m_strFont;
    CDisplay *m_pPreview;
    QComboBox *m_pFonts;
    QPushButton *m_pFontColor;
    QPushButton *m_pBackColor;
    QPushButton *m_pStandard;
};
