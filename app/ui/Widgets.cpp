#include "app/ui/Widgets.h"

#include "app/Dates.h"
#include "app/SettingsTable.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollArea>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QWheelEvent>

TDateEdit::TDateEdit(QWidget* parent) : QDateEdit(parent) {
    setCalendarPopup(true);
    setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    setDateRange(QDate(1900, 1, 1), QDate(9999, 12, 31));
    setMinimumHeight(30);
    // A click on a day in the popup both sets the date and closes the popup; Enter in the
    // calendar does the same.
    connect(calendarWidget(), &QCalendarWidget::clicked, this, &TDateEdit::pickFromCalendar);
    connect(calendarWidget(), &QCalendarWidget::activated, this, &TDateEdit::pickFromCalendar);
    calendarWidget()->window()->installEventFilter(this);
    lineEdit()->installEventFilter(this);
}

void TDateEdit::pickFromCalendar(const QDate& date) {
    // Styles that activate on a single click send "clicked" and "activated" for one click:
    // one pick, one closePopup.
    if (m_picked)
        return;
    m_picked = true;
    setDate(date);
    m_confirmed = date;
    emit closePopup();
}

bool TDateEdit::eventFilter(QObject* watched, QEvent* event) {
    // A click puts the cursor into a part of the date; select that part, so that typing
    // replaces it instead of being refused by a part that is already full.
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease)
        QMetaObject::invokeMethod(
            this, [this] { setSelectedSection(currentSection()); }, Qt::QueuedConnection);
    if (watched == calendarWidget()->window()) {
        if (event->type() == QEvent::Show) {
            m_picked = false;
            m_beforePopup = date();
        } else if (event->type() == QEvent::Hide) {
            // Browsing the calendar with the arrow keys moves the date along; closing it without
            // a pick must not leave a day on show that nothing was looked up for. The pick may
            // still be on its way (the popup closes before its signal reaches us).
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!m_picked && m_beforePopup.isValid())
                        setDate(m_beforePopup);
                },
                Qt::QueuedConnection);
        }
    }
    return QDateEdit::eventFilter(watched, event);
}

double TDateEdit::day() const {
    return kw::dayFromDate(date());
}

void TDateEdit::setDay(double day) {
    const QDate d = kw::dateFromDay(day);
    if (!d.isValid())
        return; // no day: the edit keeps the date it has
    setDate(d);
    m_confirmed = d;
}

void TDateEdit::setLimits(const QDate& earliest, const QDate& latest) {
    m_earliest = earliest;
    m_latest = latest;
    calendarWidget()->setDateRange(earliest.isValid() ? earliest : QDate(1900, 1, 1),
                                   latest.isValid() ? latest : QDate(9999, 12, 31));
}

void TDateEdit::keyPressEvent(QKeyEvent* event) {
    QDateEdit::keyPressEvent(event);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        confirmTyped();
}

void TDateEdit::focusOutEvent(QFocusEvent* event) {
    QDateEdit::focusOutEvent(event);
    // Leaving the edit takes a typed date as Enter does; opening its own calendar does not.
    if (event->reason() != Qt::PopupFocusReason && date() != m_confirmed && m_confirmed.isValid())
        confirmTyped();
}

void TDateEdit::confirmTyped() {
    QDate d = date();
    if (m_earliest.isValid() && d < m_earliest)
        d = m_earliest;
    if (m_latest.isValid() && d > m_latest)
        d = m_latest;
    setDate(d);
    m_confirmed = d;
    emit closePopup();
}

TSwitch::TSwitch(QWidget* parent) : QCheckBox(parent) {
    setCursor(Qt::PointingHandCursor);
    setMinimumSize(sizeHint());
}

QSize TSwitch::sizeHint() const {
    return {56, 28};
}

void TSwitch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(2, 4, -2, -4);
    const QColor on = palette().color(QPalette::Highlight);
    const QColor off = palette().color(QPalette::Mid);
    p.setPen(Qt::NoPen);
    p.setBrush(isChecked() ? on : off);
    p.drawRoundedRect(track, track.height() / 2, track.height() / 2);
    const qreal d = track.height() + 4;
    const qreal x = isChecked() ? track.right() - d + 2 : track.left() - 2;
    p.setBrush(palette().color(QPalette::Base));
    p.setPen(QPen(palette().color(QPalette::Dark), 1));
    p.drawEllipse(QRectF(x, track.center().y() - d / 2, d, d));
    if (hasFocus()) {
        p.setPen(QPen(on, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    }
}

TTrackBar::TTrackBar(int minimum, int maximum, int step, int value, QWidget* parent)
    : QSlider(Qt::Horizontal, parent) {
    setRange(minimum, maximum);
    setSingleStep(step);
    setPageStep(step);
    setValue(value);
    setMinimumHeight(36);
    // A wheel turned over an unfocused slider must not take focus and change a setting.
    setFocusPolicy(Qt::StrongFocus);
}

void TTrackBar::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    QSlider::wheelEvent(event);
}

TTabBar::TTabBar(int tabHeight, QWidget* parent) : QTabBar(parent), m_height(tabHeight) {
    setExpanding(true);
    setUsesScrollButtons(false); // all tabs stay in view; long captions are cut with "…"
    setElideMode(Qt::ElideRight);
    setDrawBase(false);
}

void TTabBar::setCaptionSize(int index, int points) {
    if (index < 0)
        return;
    if (m_sizes.size() <= index)
        m_sizes.resize(index + 1, -1);
    if (m_sizes[index] == points)
        return;
    m_sizes[index] = points;
    updateGeometry();
    update();
}

int TTabBar::captionSize(int index) const {
    if (index >= 0 && index < m_sizes.size() && m_sizes[index] > 0)
        return m_sizes[index];
    return font().pointSize();
}

QFont TTabBar::captionFont(int index) const {
    QFont f = font();
    if (index >= 0 && index < m_sizes.size() && m_sizes[index] > 0)
        f.setPointSize(m_sizes[index]);
    return f;
}

QSize TTabBar::tabSizeHint(int index) const {
    const int share = count() > 0 && parentWidget() ? parentWidget()->width() / count() : 0;
    return {std::max(share, minimumTabSizeHint(index).width()), m_height};
}

QSize TTabBar::minimumTabSizeHint(int index) const {
    // Room for a few letters; longer captions are elided rather than widening the window.
    const QFontMetrics fm(captionFont(index));
    return {fm.horizontalAdvance(QStringLiteral("MMM")) + 8, m_height};
}

QSize TTabBar::sizeHint() const {
    const int w = parentWidget() ? parentWidget()->width() : QTabBar::sizeHint().width();
    return {w, m_height};
}

QSize TTabBar::minimumSizeHint() const {
    int w = 0;
    for (int i = 0; i < count(); ++i)
        w += minimumTabSizeHint(i).width();
    return {w, m_height};
}

void TTabBar::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    auto draw = [&](int i) {
        QStyleOptionTab opt;
        initStyleOption(&opt, i);
        p.drawControl(QStyle::CE_TabBarTabShape, opt);
        p.setFont(captionFont(i));
        opt.text = QFontMetrics(captionFont(i)).elidedText(tabText(i), Qt::ElideRight, opt.rect.width() - 8);
        p.drawControl(QStyle::CE_TabBarTabLabel, opt);
    };
    // The current tab last, so its shape lies over its neighbours'.
    for (int i = 0; i < count(); ++i)
        if (i != currentIndex())
            draw(i);
    if (currentIndex() >= 0)
        draw(currentIndex());
}

TTabControl::TTabControl(int tabHeight, QWidget* parent)
    : QTabWidget(parent), m_bar(new TTabBar(tabHeight, this)) {
    setTabBar(m_bar);
}

TImage::TImage(QWidget* parent) : QLabel(parent) {}

void TImage::paintEvent(QPaintEvent*) {
    QPixmap pm = pixmap();
    if (pm.isNull())
        return;
    const QString file = property("bitmapFile").toString();
    if (!file.isEmpty()) {
        if (file != m_sourceFile) {
            m_sourceFile = file;
            m_source = QPixmap(file);
        }
        if (!m_source.isNull())
            pm = m_source;
    }
    const QRect area = contentsRect();
    const QSize fitted = pm.size().scaled(area.size(), Qt::KeepAspectRatio);
    const QRect target(area.left() + (area.width() - fitted.width()) / 2,
                       area.top() + (area.height() - fitted.height()) / 2, fitted.width(), fitted.height());
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(target, pm);
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QFrame* makePanel(QWidget* parent, const QString& name) {
    auto* f = new QFrame(parent);
    f->setObjectName(name);
    return f;
}

QVBoxLayout* makeScrollPage(QWidget* page) {
    auto* outer = new QVBoxLayout(page);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(page);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* content = new QWidget;
    scroll->setWidget(content);
    outer->addWidget(scroll);
    auto* rows = new QVBoxLayout(content);
    rows->setContentsMargins(10, 10, 10, 10);
    rows->setSpacing(6);
    return rows;
}

std::pair<TTrackBar*, QLabel*> makeSlider(const kw::Setting& s, QWidget* parent) {
    auto* t = new TTrackBar(s.minimum, s.maximum, s.step, s.design, parent);
    t->setObjectName(QString::fromLatin1(s.name));
    t->setAccessibleName(QString::fromUtf8(s.accessible));
    auto* value = makeLabel(parent, QString::fromLatin1(s.valueLabel), QString::number(s.design));
    value->setMinimumWidth(34);
    value->setAlignment(Qt::AlignCenter);
    return {t, value};
}

void fitCaptionFont(QAbstractButton* button, int designPointSize, const QStringList& captions) {
    constexpr int kPadding = 32; // the widest padding and border of the styles, both sides
    QFont font = button->font();
    for (int size = designPointSize;; --size) {
        font.setPointSize(size);
        QFont bold = font;
        bold.setBold(true);
        const QFontMetrics metrics(bold);
        int widest = 0;
        for (const QString& caption : captions)
            widest = std::max(widest, metrics.horizontalAdvance(caption));
        if (widest + kPadding <= button->width() || size <= 8)
            break;
    }
    button->setFont(font);
}
