#pragma once

#include "draws/ui/Circle.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <vector>

/**
 * The tip editor: one tip is picked on a grid of 37 number balls. It exchanges data with the
 * main window only through its public fields and Zahlensetzen.
 */
class TTippauswahl : public QWidget {
    Q_OBJECT
public:
    explicit TTippauswahl(QWidget* parent = nullptr);

    std::array<int32_t, 11> aktuellerTipp{}; // [1..8] the tip, [9], [10] the supplementary numbers
    std::array<bool, 11> aktuellGewonnen{};  // [1..8] hits, [9], [10] supplementary numbers held
    int32_t Tippnummer = 0;                  // row being edited; 999 = cancelled
    QString Home;
    int32_t MaxZahl = 0;

    void Zahlensetzen();
    void FormCreate();
    void FormShow();
    void FormResize();
    void Panel1Resize();
    void AuswahlClick(TCircle* sender);
    void ZufallClick();
    void Button1Click();
    void Button2Click();
    /** Moves the window to the middle of the main window, kept wholly on its screen. */
    void placeOver(const QWidget* main);
    /** The main window's style sheet, applied at every opening. */
    void setStyleSheetFile(const QString& styleSheet);

    QWidget* Panel1;
    QWidget* Panel2;
    QWidget* Panel3;
    QLabel* Label1;
    QPushButton* Button1;
    QPushButton* Zufall;
    QPushButton* Button2;

    const std::vector<TCircle*>& tempKreis() const { return TempKreis; }
    const std::vector<TCircle*>& auswahlKreis() const { return AuswahlKreis; }

signals:
    /** Emitted whenever the window is hidden, so that a short edit is never missed. */
    void hidden();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    /** Places the three panels and their fixed children for the current client size. */
    void layoutPanels();
    QString ballFile(int number) const;
    static bool isSelected(const TCircle* ball) { return ball->strokeThickness() > 0; }
    int selectedCount() const;

    std::vector<TCircle*> TempKreis;
    std::vector<TCircle*> AuswahlKreis;
    bool m_resizeAttached = false;
};
