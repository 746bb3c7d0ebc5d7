#pragma once

#include <QHash>
#include <QListWidget>
#include <QPixmap>
#include <vector>

/**
 * The tip list: one item per tip row with a picture, the text, a check mark in edit mode and a
 * text button at the right. Rows alternate their background colour.
 */
class TTipListView : public QListWidget {
    Q_OBJECT
public:
    explicit TTipListView(QWidget* parent = nullptr);

    /** Removes all items; pictures are read again from their files at the next rebuild. */
    void clearTips();
    /** Adds an item; picturePath may be empty (no picture). */
    void addTipItem(const QString& text, int height, const QString& picturePath, bool checked,
                    const QString& buttonText);
    /** The numbers of a row's tip (eight cells), which of them hit the draw on display, and the
     *  hits part of its text; the row is then drawn in columns with its hits marked. */
    void setTipColumns(int row, const QStringList& cells, const QList<bool>& hits, const QString& hitsText);
    void setEditMode(bool on);
    bool editMode() const { return m_editMode; }
    bool isChecked(int row) const;
    void setChecked(int row, bool checked);
    QString pictureOf(int row) const;
    QString buttonTextOf(int row) const;
    int itemHeight(int row) const;
    /** The rectangle of a row's text button, in viewport coordinates. */
    QRect buttonRect(int row) const;
    /** The row whose button is held down (-1: none), and whether the pointer is over a button. */
    int pressedButtonRow() const { return m_pressOnButton ? m_pressRow : -1; }
    int hoveredButtonRow() const { return m_hoverButtonRow; }
    /** The selected rows, ascending; a rebuild keeps the selection of the rows it builds again. */
    std::vector<int> selectedRows() const;

signals:
    /** A click on the item itself (not its button). */
    void itemClick(int row);
    /** A press inside the item; objectClass names what was pressed ("TListItemTextButton" for the button). */
    void buttonClick(int row, const QString& objectClass);
    /** The copy key was pressed in the list. */
    void copyRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    QPixmap loadPicture(const QString& path);
    void toggleMark(int row);
    void updateRow(int row);

    bool m_editMode = false;
    int m_pressRow = -1;
    bool m_pressOnButton = false;
    int m_pressScroll = 0;
    int m_hoverButtonRow = -1;
    QHash<QString, QPixmap> m_pictures; // files read during the current rebuild
    std::vector<int> m_keptSelection;   // selected before the rebuild under way
};
