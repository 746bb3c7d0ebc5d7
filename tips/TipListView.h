#pragma once

#include <QListWidget>

/**
 * The tip list: one item per tip row with a picture, the text, a check mark in edit mode and a
 * text button at the right. Rows alternate their background colour.
 */
class TTipListView : public QListWidget {
    Q_OBJECT
public:
    explicit TTipListView(QWidget* parent = nullptr);

    /** Adds an item; picturePath may be empty (no picture). */
    void addTipItem(const QString& text, int height, const QString& picturePath, bool checked,
                    const QString& buttonText);
    void setEditMode(bool on);
    bool editMode() const { return m_editMode; }
    bool isChecked(int row) const;
    QString pictureOf(int row) const;
    QString buttonTextOf(int row) const;
    /** The rectangle of a row's text button, in viewport coordinates. */
    QRect buttonRect(int row) const;

signals:
    /** A click on the item itself (not its button). */
    void itemClick(int row);
    /** A press inside the item; objectClass names what was pressed ("TListItemTextButton" for the button). */
    void buttonClick(int row, const QString& objectClass);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_editMode = false;
};
