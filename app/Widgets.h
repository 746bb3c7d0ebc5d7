#pragma once

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QSlider>

/**
 * A date edit whose earliest and latest days only limit what the user can pick; the program
 * itself may set any day (the update walks one day past today). Text is always "dd.mm.yyyy".
 */
class TDateEdit : public QDateEdit {
    Q_OBJECT
public:
    explicit TDateEdit(QWidget* parent = nullptr);

    /** Day count (days since 30.12.1899) of the date shown, a whole day. */
    double day() const;
    void setDay(double day);
    /** Limits for the user's choice; invalid dates remove a limit. */
    void setLimits(const QDate& earliest, const QDate& latest);
    QDate earliest() const { return m_earliest; }
    QDate latest() const { return m_latest; }

signals:
    /** The user picked a day in the calendar or confirmed a typed date. */
    void closePopup();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void confirmTyped();
    QDate m_earliest, m_latest;
    QDate m_confirmed;
};

/** An on/off switch drawn as a sliding knob; a check box underneath. */
class TSwitch : public QCheckBox {
    Q_OBJECT
public:
    explicit TSwitch(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    bool hitButton(const QPoint&) const override { return true; }
};

/** A horizontal track bar with large touch targets. */
class TTrackBar : public QSlider {
    Q_OBJECT
public:
    TTrackBar(int minimum, int maximum, int step, int value, QWidget* parent = nullptr);
};
