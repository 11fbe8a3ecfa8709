#pragma once

#include <QList>
#include <QMenuBar>

#include <vector>

// A menu bar that wraps its titles onto further rows when the window is too
// narrow for them, as the system's menu bars do, instead of hiding the last ones
// behind an overflow button. Every title sits in exactly one row, so each
// keeps its access key. The bar's height is that of all its rows.
class WrappingMenuBar : public QMenuBar {
    Q_OBJECT
public:
    explicit WrappingMenuBar(QWidget* parent = nullptr);

    // Every title in the order added, whichever row shows it.
    QList<QAction*> titles() const { return m_titles; }
    // The bar that shows a title: this bar for the first row, a row below it otherwise.
    QMenuBar* rowOf(QAction* title) const;
    int rowCount() const;
    // Lays the titles out for this width now: a hidden bar gets its size, and its
    // resize event, only when it is shown, but the owner sizes its window before.
    void wrapTo(int width);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void actionEvent(QActionEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The titles of each row at this width.
    QList<QList<QAction*>> rowsFor(int width) const;
    int itemWidth(QAction* title) const;
    int rowHeight() const;
    void arrange(int width);

    QList<QAction*> m_titles;
    std::vector<QMenuBar*> m_rows;
    QList<QList<QAction*>> m_arranged;
    bool m_arranging = false;
};
