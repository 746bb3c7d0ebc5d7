#include "tips/TipListView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

enum Roles { PictureRole = Qt::UserRole + 1, ButtonTextRole, CheckedRole };

class TipItemDelegate : public QStyledItemDelegate {
public:
    TipItemDelegate(TTipListView* view) : QStyledItemDelegate(view), m_view(view) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.text.clear();
        opt.icon = QIcon();
        opt.features &= ~QStyleOptionViewItem::HasCheckIndicator;
        QStyle* style = m_view->style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, p, m_view);

        QRect r = option.rect.adjusted(4, 2, -4, -2);
        p->save();
        if (m_view->editMode()) {
            QStyleOptionButton box;
            box.rect = QRect(r.left(), r.center().y() - 10, 20, 20);
            box.state = QStyle::State_Enabled | (index.data(CheckedRole).toBool() ? QStyle::State_On : QStyle::State_Off);
            style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, p, m_view);
            r.setLeft(r.left() + 26);
        }
        const int pic = std::min(r.height(), 32);
        const QString picture = index.data(PictureRole).toString();
        if (!picture.isEmpty()) {
            QPixmap pm(picture);
            if (!pm.isNull())
                p->drawPixmap(QRect(r.left(), r.center().y() - pic / 2, pic, pic), pm);
        }
        r.setLeft(r.left() + pic + 6);
        const QRect button = m_view->buttonRect(index.row());
        r.setRight(button.left() - 6);
        QFont mono = opt.font;
        mono.setFamily(QStringLiteral("DejaVu Sans Mono"));
        mono.setStyleHint(QFont::Monospace);
        p->setFont(mono);
        p->setPen(opt.palette.color(option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        p->drawText(r, Qt::AlignVCenter | Qt::AlignLeft, index.data(Qt::DisplayRole).toString());

        QStyleOptionButton b;
        b.rect = button;
        b.text = index.data(ButtonTextRole).toString();
        b.state = QStyle::State_Enabled | QStyle::State_Raised;
        b.palette = opt.palette;
        p->setFont(opt.font);
        style->drawControl(QStyle::CE_PushButton, &b, p, m_view);
        p->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QSize s = QStyledItemDelegate::sizeHint(option, index);
        const QVariant h = index.data(Qt::SizeHintRole);
        return h.isValid() ? h.toSize() : s;
    }

private:
    TTipListView* m_view;
};

} // namespace

TTipListView::TTipListView(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new TipItemDelegate(this));
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setUniformItemSizes(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
}

void TTipListView::addTipItem(const QString& text, int height, const QString& picturePath, bool checked,
                              const QString& buttonText) {
    auto* item = new QListWidgetItem(text);
    item->setData(PictureRole, picturePath);
    item->setData(ButtonTextRole, buttonText);
    item->setData(CheckedRole, checked);
    item->setSizeHint(QSize(0, height));
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

QString TTipListView::pictureOf(int row) const {
    const QListWidgetItem* it = item(row);
    return it ? it->data(PictureRole).toString() : QString();
}

QString TTipListView::buttonTextOf(int row) const {
    const QListWidgetItem* it = item(row);
    return it ? it->data(ButtonTextRole).toString() : QString();
}

QRect TTipListView::buttonRect(int row) const {
    const QRect r = visualItemRect(item(row)).adjusted(4, 3, -4, -3);
    const int w = std::max(90, fontMetrics().horizontalAdvance(buttonTextOf(row)) + 24);
    return QRect(r.right() - w, r.top(), w, r.height());
}

void TTipListView::mouseReleaseEvent(QMouseEvent* event) {
    QListWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    QListWidgetItem* it = itemAt(pos);
    if (!it)
        return;
    const int r = row(it);
    if (buttonRect(r).contains(pos)) {
        emit buttonClick(r, QStringLiteral("TListItemTextButton"));
        return;
    }
    if (m_editMode)
        it->setData(CheckedRole, !it->data(CheckedRole).toBool());
    emit itemClick(r);
}

void TTipListView::keyPressEvent(QKeyEvent* event) {
    const int r = currentRow();
    if (r >= 0 && (event->key() == Qt::Key_Space)) {
        if (m_editMode)
            item(r)->setData(CheckedRole, !item(r)->data(CheckedRole).toBool());
        emit itemClick(r);
        return;
    }
    if (r >= 0 && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        emit buttonClick(r, QStringLiteral("TListItemTextButton"));
        return;
    }
    QListWidget::keyPressEvent(event);
}
