#include "tips/ui/TipListView.h"

#include "tips/TipTable.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cmath>

namespace {

enum Roles { PictureRole = Qt::UserRole + 1, PixmapRole, ButtonTextRole, CheckedRole };

constexpr int kMargin = 4;
constexpr int kGap = 8;

/** Side of the check box and the picture for an item of the given height. */
int markSide(int height) {
    return std::clamp(height - 12, 16, 24);
}
int pictureSide(int height) {
    return std::clamp(height - 6, 20, 40);
}

class TipItemDelegate : public QStyledItemDelegate {
public:
    explicit TipItemDelegate(TTipListView* view) : QStyledItemDelegate(view), m_view(view) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.text.clear();
        opt.icon = QIcon();
        opt.features &= ~QStyleOptionViewItem::HasCheckIndicator;
        opt.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        QStyle* style = m_view->style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, p, m_view); // background, alternating

        const int h = option.rect.height();
        QRect r = option.rect.adjusted(kMargin, 0, -kMargin, 0);
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        p->setRenderHint(QPainter::SmoothPixmapTransform);

        if (m_view->editMode()) {
            const int side = markSide(h);
            QStyleOptionButton box;
            box.initFrom(m_view);
            box.rect = QRect(r.left(), r.center().y() - side / 2 + 1, side, side);
            box.state = QStyle::State_Enabled |
                        (index.data(CheckedRole).toBool() ? QStyle::State_On : QStyle::State_Off);
            style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, p, m_view);
            r.setLeft(box.rect.right() + kGap);
        }

        // The picture column is kept even when empty, so that the numbers line up in every row.
        const int pic = pictureSide(h);
        const QPixmap pm = index.data(PixmapRole).value<QPixmap>();
        if (!pm.isNull()) {
            const QSize fitted = pm.size().scaled(pic, pic, Qt::KeepAspectRatio);
            const QRect target(r.left() + (pic - fitted.width()) / 2,
                               r.center().y() - fitted.height() / 2 + 1, fitted.width(), fitted.height());
            p->drawPixmap(target, pm);
        }
        r.setLeft(r.left() + pic + kGap);

        const QRect button = m_view->buttonRect(index.row());
        r.setRight(button.left() - kGap);
        const QString text = index.data(Qt::DisplayRole).toString();
        p->setFont(textFont(opt.font, r.width(), h));
        p->setPen(opt.palette.color(QPalette::Text));
        p->drawText(r, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text);

        QStyleOptionButton b;
        b.initFrom(m_view);
        b.rect = button;
        b.text = index.data(ButtonTextRole).toString();
        b.state = QStyle::State_Enabled;
        if (m_view->pressedButtonRow() == index.row())
            b.state |= QStyle::State_Sunken;
        else
            b.state |= QStyle::State_Raised;
        if (m_view->hoveredButtonRow() == index.row())
            b.state |= QStyle::State_MouseOver;
        p->setFont(opt.font);
        style->drawControl(QStyle::CE_PushButton, &b, p, m_view);
        p->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QVariant h = index.data(Qt::SizeHintRole);
        return h.isValid() ? h.toSize() : QStyledItemDelegate::sizeHint(option, index);
    }

private:
    /** A fixed-pitch font, since the blanks in the text line the numbers up in columns; as large
     *  as the item's height allows, and small enough that the longest text a row can have fits.
     *  Every row gets the same size, so the columns line up from row to row. */
    static QFont textFont(const QFont& base, int width, int height) {
        QFont f(base);
        f.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Monospace")});
        f.setStyleHint(QFont::Monospace);
        f.setFixedPitch(true);
        int px = std::clamp(int(std::lround(height * 0.5)), 12, 20);
        f.setPixelSize(px);
        const double need = QFontMetricsF(f).horizontalAdvance(QLatin1Char('0')) * kLongestText;
        if (need > width && width > 0) {
            px = std::max(8, int(std::floor(px * width / need)));
            f.setPixelSize(px);
        }
        return f;
    }

    static constexpr int kLongestText = 44; // eight two-digit numbers, the hits and "+1+1"

    TTipListView* m_view;
};

} // namespace

TTipListView::TTipListView(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new TipItemDelegate(this));
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    // Every rebuild gives all items one height, which lets the view skip measuring 96 rows.
    setUniformItemSizes(true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setMouseTracking(true);
}

void TTipListView::clearTips() {
    clear();
    m_pictures.clear();
    m_pressRow = -1;
    m_pressOnButton = false;
    m_hoverButtonRow = -1;
}

QPixmap TTipListView::loadPicture(const QString& path) {
    auto it = m_pictures.find(path);
    if (it == m_pictures.end())
        it = m_pictures.insert(path, QPixmap(path)); // a missing file gives no picture
    return *it;
}

void TTipListView::addTipItem(const QString& text, int height, const QString& picturePath, bool checked,
                              const QString& buttonText) {
    auto* item = new QListWidgetItem(text);
    item->setData(PictureRole, picturePath);
    if (!picturePath.isEmpty())
        item->setData(PixmapRole, loadPicture(picturePath));
    item->setData(ButtonTextRole, buttonText);
    item->setData(CheckedRole, checked);
    item->setSizeHint(QSize(0, height));
    item->setFlags(Qt::ItemIsEnabled);
    addItem(item);
}

void TTipListView::setEditMode(bool on) {
    m_editMode = on;
    viewport()->update();
}

bool TTipListView::isChecked(int row) const {
    const QListWidgetItem* it = item(row);
    return it && it->data(CheckedRole).toBool();
}

void TTipListView::setChecked(int row, bool checked) {
    if (QListWidgetItem* it = item(row))
        it->setData(CheckedRole, checked);
}

QString TTipListView::pictureOf(int row) const {
    const QListWidgetItem* it = item(row);
    return it ? it->data(PictureRole).toString() : QString();
}

QString TTipListView::buttonTextOf(int row) const {
    const QListWidgetItem* it = item(row);
    return it ? it->data(ButtonTextRole).toString() : QString();
}

int TTipListView::itemHeight(int row) const {
    const QListWidgetItem* it = item(row);
    return it ? it->sizeHint().height() : 0;
}

QRect TTipListView::buttonRect(int row) const {
    const QListWidgetItem* it = item(row);
    if (!it)
        return {};
    const QRect r = visualItemRect(it).adjusted(kMargin, 0, -kMargin, 0);
    const int h = std::min(r.height() - 6, 40);
    const int w = std::max(88, fontMetrics().horizontalAdvance(buttonTextOf(row)) + 28);
    return QRect(r.right() + 1 - w, r.center().y() - h / 2 + 1, w, h);
}

void TTipListView::updateRow(int row) {
    if (QListWidgetItem* it = item(row))
        viewport()->update(visualItemRect(it));
}

void TTipListView::toggleMark(int row) {
    if (QListWidgetItem* it = item(row)) {
        it->setData(CheckedRole, !it->data(CheckedRole).toBool());
        updateRow(row);
    }
}

void TTipListView::mousePressEvent(QMouseEvent* event) {
    QListWidget::mousePressEvent(event);
    m_pressRow = -1;
    m_pressOnButton = false;
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    if (QListWidgetItem* it = itemAt(pos)) {
        m_pressRow = row(it);
        m_pressOnButton = buttonRect(m_pressRow).contains(pos);
        m_pressScroll = verticalScrollBar()->value();
        if (m_pressOnButton)
            updateRow(m_pressRow);
    }
}

void TTipListView::mouseMoveEvent(QMouseEvent* event) {
    QListWidget::mouseMoveEvent(event);
    const QPoint pos = event->position().toPoint();
    int hover = -1;
    if (QListWidgetItem* it = itemAt(pos); it && buttonRect(row(it)).contains(pos))
        hover = row(it);
    if (hover != m_hoverButtonRow) {
        const int old = m_hoverButtonRow;
        m_hoverButtonRow = hover;
        updateRow(old);
        updateRow(hover);
    }
}

void TTipListView::leaveEvent(QEvent* event) {
    QListWidget::leaveEvent(event);
    const int old = m_hoverButtonRow;
    m_hoverButtonRow = -1;
    updateRow(old);
}

void TTipListView::mouseReleaseEvent(QMouseEvent* event) {
    QListWidget::mouseReleaseEvent(event);
    const int pressRow = m_pressRow;
    const bool pressOnButton = m_pressOnButton;
    m_pressRow = -1;
    m_pressOnButton = false;
    if (event->button() != Qt::LeftButton || pressRow < 0)
        return;
    if (pressOnButton)
        updateRow(pressRow);
    // A press that turned into scrolling, or ended on another row or off the button, is no click.
    if (verticalScrollBar()->value() != m_pressScroll)
        return;
    const QPoint pos = event->position().toPoint();
    QListWidgetItem* it = itemAt(pos);
    if (!it || row(it) != pressRow)
        return;
    const bool onButton = buttonRect(pressRow).contains(pos);
    if (pressOnButton) {
        if (onButton)
            emit buttonClick(pressRow, QStringLiteral("TListItemTextButton"));
        return;
    }
    if (onButton)
        return;
    if (m_editMode)
        toggleMark(pressRow);
    emit itemClick(pressRow);
}

void TTipListView::mouseDoubleClickEvent(QMouseEvent* event) {
    // A second click counts as a click of its own (two quick clicks toggle twice), never as an
    // "activate" that would open anything.
    mousePressEvent(event);
}

void TTipListView::keyPressEvent(QKeyEvent* event) {
    const int r = currentRow();
    if (r >= 0 && event->key() == Qt::Key_Space) {
        if (m_editMode)
            toggleMark(r);
        emit itemClick(r);
        return;
    }
    if (r >= 0 && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        emit buttonClick(r, QStringLiteral("TListItemTextButton"));
        return;
    }
    QListWidget::keyPressEvent(event);
}

void TTipListView::resizeEvent(QResizeEvent* event) {
    QListWidget::resizeEvent(event);
    // The window's layout step can rebuild the list before the list has its new size; the rows
    // then take the height the rebuild would have given them for the size the list really has.
    if (event->size().height() == event->oldSize().height() || count() == 0)
        return;
    const QSize hint(0, kw::tipItemHeight(height(), count()));
    if (item(0)->sizeHint() == hint)
        return;
    for (int r = 0; r < count(); ++r)
        item(r)->setSizeHint(hint);
}
