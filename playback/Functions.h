// The player control: toolbar, position slider, mode box and Properties button over the player engine.
#pragma once

#include "Player.h"

#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QSlider;
class QTimer;

class CFunctions : public QWidget, public PlayerView {
public:
    // The display may be null until the display window exists; it must outlive the control.
    CFunctions(PlayerList *list, PlayerView *display, QWidget *parent = nullptr);
    ~CFunctions() override;

    Player &GetPlayer() { return *m_pPlayer; }
    // Command ids of the toolbar and the menu: 1001 Play, 1002 Stop, 1005 Pause, 32808 Previous, 32834 Next.
    bool OnCommand(int id);
    QAction *Action(int id) const;
    QSlider *PositionSlider() const { return m_pSlider; }
    QComboBox *ModeBox() const { return m_pMode; }
    // "Properties..." shows the selected title's information; the window that can do so sets this.
    std::function<void()> onProperties;

    // PlayerView: the display's parts go to the display, the rest is this control's or the main window's.
    void ShowTitle(const QString &title) override;
    void ShowFormat(const char *tag, int channels, int samplesPerSec, uint32_t avgBytesPerSec) override;
    void ShowSymbol(PlaySymbol symbol) override;
    void ShowTime(int elapsed, int remaining) override;
    QString ApplicationTitle() const override;
    QString Caption() const override;
    void SetCaption(const QString &caption) override;
    bool IsMainWindowActive() const override;
    void SetSliderRange(uint32_t min, uint32_t max) override;
    void SetSliderSteps(uint32_t singleStep, uint32_t pageStep) override;
    void SetSliderPos(uint32_t pos) override;
    void StartTimer() override;
    void KillTimer() override;

private:
    // The slider speaks int; positions past INT_MAX are halved until they fit, and doubled back.
    int ToSlider(uint32_t position) const { return int(position >> m_nSliderShift); }
    uint32_t FromSlider(int value) const;

    PlayerView *m_pDisplay;
    std::unique_ptr<Player> m_pPlayer;
    QSlider *m_pSlider;
    QComboBox *m_pMode;
    QTimer *m_pTimer;
    int m_nSliderShift = 0;
    uint32_t m_dwSliderMax = 0;
    std::vector<std::pair<int, QAction *>> m_actions;
};
