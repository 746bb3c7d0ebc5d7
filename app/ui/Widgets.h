#pragma once

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QSlider>
#include <QStringList>
#include <QTabBar>
#include <QTabWidget>
#include <QVector>
#include <utility>

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
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void confirmTyped();
    void pickFromCalendar(const QDate& date);
    QDate m_earliest, m_latest;
    QDate m_confirmed;
    QDate m_beforePopup;   // the day shown when the calendar opened
    bool m_picked = false; // a day was picked since the calendar opened
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

protected:
    /** The wheel moves the slider only when it has focus; otherwise the page under it scrolls. */
    void wheelEvent(QWheelEvent* event) override;
};

/**
 * A tab strip whose tabs share its width equally, with a fixed tab height and a caption font
 * size per tab (the window grows its captions with its width).
 */
class TTabBar : public QTabBar {
    Q_OBJECT
public:
    explicit TTabBar(int tabHeight, QWidget* parent = nullptr);
    /** Caption size in points of one tab; sizes not set follow the bar's font. */
    void setCaptionSize(int index, int points);
    int captionSize(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;
    void paintEvent(QPaintEvent*) override;

private:
    QFont captionFont(int index) const;
    int m_height;
    QVector<int> m_sizes;
};

/** A tab control with a TTabBar. */
class TTabControl : public QTabWidget {
    Q_OBJECT
public:
    explicit TTabControl(int tabHeight, QWidget* parent = nullptr);
    TTabBar* bar() const { return m_bar; }

private:
    TTabBar* m_bar;
};

/**
 * A picture that fills its contents rectangle keeping its proportions. When it knows the file the
 * picture came from (property "bitmapFile"), it draws from the full-size file, so that a picture
 * set before the first layout is not left small or blurred.
 */
class TImage : public QLabel {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString m_sourceFile;
    QPixmap m_source;
};

namespace kw {
struct Setting;
}
class QAbstractButton;
class QFrame;
class QVBoxLayout;

// Small builders shared by the tabs' construction.
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text);
QFrame* makePanel(QWidget* parent, const QString& name);
/** A scrolling page of setting rows; rows are added to the returned layout. */
QVBoxLayout* makeScrollPage(QWidget* page);
/**
 * Gives a button of fixed width its design point size, or less where one of its captions would
 * not fit (measured bold with a style's padding, so that no style clips it).
 */
void fitCaptionFont(QAbstractButton* button, int designPointSize, const QStringList& captions);
/** A setting's track bar with its range, design value and accessible name, and its value label. */
std::pair<TTrackBar*, QLabel*> makeSlider(const kw::Setting& s, QWidget* parent);
