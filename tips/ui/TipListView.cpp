#include "tips/ui/TipListView.h"

#include "draws/BallColour.h"
#include "tips/TipTable.h"

#include <QFontInfo>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <algorithm>
#include <cmath>

namespace {

enum Roles {
    PictureRole = Qt::UserRole + 1,
    PixmapRole,
    ButtonTextRole,
    CheckedRole,
    CellsRole,
    HitsRole,
    HitsTextRole
};

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
        if (option.state & QStyle::State_Selected) {
            // A tint rather than the style's full highlight, so that the hit colours stay readable.
            QColor tint = option.palette.color(QPalette::Highlight);
            tint.setAlpha(70);
            p->fillRect(option.rect, tint);
        }

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
        if (index.data(CellsRole).isValid())
            paintColumns(p, opt, index, r, h);
        else {
            p->setFont(textFont(opt.font, r.width(), h));
            p->setPen(opt.palette.color(QPalette::Text));
            p->drawText(r, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                        index.data(Qt::DisplayRole).toString());
        }

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

    /** Where a row's parts lie: the picture, the hits column (for their tooltips). */
    static QRect pictureRect(const QRect& item, int height, bool editMode) {
        QRect r = item.adjusted(kMargin, 0, -kMargin, 0);
        if (editMode)
            r.setLeft(r.left() + markSide(height) + kGap);
        const int pic = pictureSide(height);
        return QRect(r.left(), r.top(), pic, r.height());
    }

private:
    /** Eight number columns and the hits, at fixed places; numbers that hit sit on their ball's colour. */
    void paintColumns(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& index, const QRect& r,
                      int h) const {
        const QStringList cells = index.data(CellsRole).toStringList();
        const QList<QVariant> hits = index.data(HitsRole).toList();
        const QString hitsText = index.data(HitsTextRole).toString();
        const ColumnLayout c = columnLayout(opt.font, r.width(), h);
        p->setFont(c.font);
        const QColor text = opt.palette.color(QPalette::Text);
        for (int i = 0; i < 8 && i < cells.size(); ++i) {
            const QRectF cell(r.left() + i * c.pitch, r.top(), c.number, r.height());
            const bool hit = i < hits.size() && hits[i].toBool();
            const int n = cells[i].toInt();
            if (hit && n >= 1 && n <= 37) {
                const QColor ball = QColor::fromRgba(kw::ballArgb(n));
                // Never wider than a column, so that two hits side by side stay two chips.
                const qreal side =
                    std::min<qreal>({qreal(r.height() - 6), c.number + c.digit * 0.6, c.pitch - 2});
                const QRectF chip(cell.center().x() - side / 2, cell.center().y() - side / 2 + 1, side, side);
                p->setPen(Qt::NoPen);
                p->setBrush(ball);
                p->drawEllipse(chip);
                // Dark figures on the light gold ball, light ones on the others.
                p->setPen(n < 10 ? QColor(0x20, 0x20, 0x20) : QColor(Qt::white));
                QFont bold = c.font;
                bold.setBold(true);
                p->setFont(bold);
                p->drawText(chip, Qt::AlignCenter, cells[i]);
                p->setFont(c.font);
            } else {
                p->setPen(text);
                p->drawText(cell.adjusted(0, 1, 0, 1), Qt::AlignVCenter | Qt::AlignRight, cells[i]);
            }
        }
        p->setPen(text);
        const QRectF hitsCell(r.left() + 8 * c.pitch + c.digit, r.top(), r.width(), r.height());
        p->drawText(hitsCell.adjusted(0, 1, 0, 1), Qt::AlignVCenter | Qt::AlignLeft, hitsText);
    }

public:
    struct ColumnLayout {
        QFont font;
        qreal digit = 0;  // width of one figure
        qreal number = 0; // width of a two-figure number
        qreal pitch = 0;  // from one number column to the next
    };
    /** Figures of one width, never smaller than the body text: the gaps give way first. */
    static ColumnLayout columnLayout(const QFont& base, int width, int height) {
        ColumnLayout c;
        c.font = base;
        c.font.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Monospace")});
        c.font.setStyleHint(QFont::Monospace);
        c.font.setFixedPitch(true);
        const int body = QFontInfo(base).pixelSize();
        // Eight numbers and "8+1+1" after a gap of one figure: a gap of 1.4 figures where it fits.
        // Where it does not, the figures shrink towards the body size before the gaps close up.
        for (int px = std::max(body, std::min(22, int(std::lround(height * 0.5))));; --px) {
            c.font.setPixelSize(px);
            c.digit = QFontMetricsF(c.font).horizontalAdvance(QLatin1Char('0'));
            c.number = 2 * c.digit;
            const qreal room = (width - 8 * c.number - 6 * c.digit) / 8;
            if (room >= c.digit * 0.8 || px <= body) {
                c.pitch = c.number + std::clamp(room, c.digit * 0.3, c.digit * 1.4);
                return c;
            }
        }
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
    // Rows can be selected (click, shift/ctrl-click, Ctrl+A) for copying some of the tips.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Every rebuild gives all items one height, which lets the view skip measuring 96 rows.
    setUniformItemSizes(true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setMouseTracking(true);
}

std::vector<int> TTipListView::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& i : selectionModel()->selectedIndexes())
        rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TTipListView::clearTips() {
    m_keptSelection = selectedRows();
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
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    addItem(item);
    if (std::binary_search(m_keptSelection.begin(), m_keptSelection.end(), count() - 1))
        item->setSelected(true);
}

void TTipListView::setTipColumns(int row, const QStringList& cells, const QList<bool>& hits,
                                 const QString& hitsText) {
    QListWidgetItem* it = item(row);
    if (!it)
        return;
    QVariantList flags;
    for (bool h : hits)
        flags << h;
    it->setData(CellsRole, cells);
    it->setData(HitsRole, flags);
    it->setData(HitsTextRole, hitsText);
}

bool TTipListView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        QListWidgetItem* it = itemAt(help->pos());
        QString tip;
        if (it) {
            const QRect rect = visualItemRect(it);
            const int h = rect.height();
            const QRect picture = TipItemDelegate::pictureRect(rect, h, m_editMode);
            const QString path = it->data(PictureRole).toString();
            if (picture.contains(help->pos()) && !path.isEmpty())
                tip = path.endsWith(QLatin1String("stern.png"))
                          ? QStringLiteral("wins: five or more hits, or four and a supplementary number")
                          : QStringLiteral("this kept tip fails the current filters");
            else if (!buttonRect(row(it)).contains(help->pos()) && help->pos().x() > picture.right())
                tip = QStringLiteral("The eight numbers, then the hits with the draw on display and a +1 for "
                                     "each supplementary number the tip holds. Numbers that hit show their "
                                     "ball's colour.");
        }
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, viewport());
        return true;
    }
    return QListWidget::viewportEvent(event);
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
    if (event->matches(QKeySequence::Copy)) {
        // The view itself would copy the current row's list text; the tips are copied instead.
        emit copyRequested();
        event->accept();
        return;
    }
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
