#include "WrappingMenuBar.h"

#include <QActionEvent>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOptionMenuItem>

#include <algorithm>

WrappingMenuBar::WrappingMenuBar(QWidget* parent) : QMenuBar(parent)
{
    // The rows are laid out here; a bar handed to the desktop's global menu
    // would have none.
    setNativeMenuBar(false);
}

void WrappingMenuBar::actionEvent(QActionEvent* event)
{
    if (!m_arranging) {
        if (event->type() == QEvent::ActionAdded) {
            m_titles.insert(event->before() ? std::max<qsizetype>(m_titles.indexOf(event->before()), 0)
                                            : m_titles.size(),
                            event->action());
        } else if (event->type() == QEvent::ActionRemoved) {
            m_titles.removeAll(event->action());
        }
    }
    QMenuBar::actionEvent(event);
    if (!m_arranging)
        arrange(width());
}

int WrappingMenuBar::itemWidth(QAction* title) const
{
    // Measured as the toolkit's own bar measures an item, so that a row never
    // holds more than that bar shows without its overflow button.
    QStyleOptionMenuItem option;
    initStyleOption(&option, title);
    const QSize text = fontMetrics().size(Qt::TextShowMnemonic, title->text());
    return style()->sizeFromContents(QStyle::CT_MenuBarItem, &option, text, this).width();
}

int WrappingMenuBar::rowHeight() const
{
    int item = 0;
    for (QAction* title : m_titles) {
        QStyleOptionMenuItem option;
        initStyleOption(&option, title);
        const QSize text = fontMetrics().size(Qt::TextShowMnemonic, title->text());
        item = std::max(item, style()->sizeFromContents(QStyle::CT_MenuBarItem, &option, text, this).height());
    }
    const int frame = style()->pixelMetric(QStyle::PM_MenuBarPanelWidth, nullptr, this);
    const int vmargin = style()->pixelMetric(QStyle::PM_MenuBarVMargin, nullptr, this);
    const int below = item ? style()->styleHint(QStyle::SH_MainWindow_SpaceBelowMenuBar, nullptr, this) : 0;
    return item + below + 2 * frame + 2 * vmargin;
}

QList<QList<QAction*>> WrappingMenuBar::rowsFor(int width) const
{
    const int frame = style()->pixelMetric(QStyle::PM_MenuBarPanelWidth, nullptr, this);
    const int hmargin = style()->pixelMetric(QStyle::PM_MenuBarHMargin, nullptr, this);
    const int spacing = style()->pixelMetric(QStyle::PM_MenuBarItemSpacing, nullptr, this);
    const int start = frame + hmargin + spacing;
    const int end = width - frame - hmargin;
    QList<QList<QAction*>> rows{{}};
    int x = start;
    for (QAction* title : m_titles) {
        // A hidden title takes no room but stays in a row, to be shown there later.
        if (!title->isVisible()) {
            rows.last().append(title);
            continue;
        }
        const int w = itemWidth(title);
        // A title wider than the whole row still gets a row of its own.
        if (x + w > end && !rows.last().isEmpty()) {
            rows.append(QList<QAction*>());
            x = start;
        }
        rows.last().append(title);
        x += w + spacing;
    }
    return rows;
}

int WrappingMenuBar::rowCount() const
{
    return std::max<int>(static_cast<int>(m_arranged.size()), 1);
}

QMenuBar* WrappingMenuBar::rowOf(QAction* title) const
{
    for (qsizetype r = 0; r < m_arranged.size(); ++r) {
        if (m_arranged[r].contains(title))
            return r == 0 ? const_cast<WrappingMenuBar*>(this) : m_rows[static_cast<size_t>(r - 1)];
    }
    return nullptr;
}

int WrappingMenuBar::heightForWidth(int width) const
{
    return static_cast<int>(rowsFor(width).size()) * rowHeight();
}

QSize WrappingMenuBar::sizeHint() const
{
    const QSize hint = QMenuBar::sizeHint();
    return {hint.width(), heightForWidth(width() > 0 ? width() : hint.width())};
}

QSize WrappingMenuBar::minimumSizeHint() const
{
    const QSize hint = QMenuBar::minimumSizeHint();
    return {hint.width(), heightForWidth(width() > 0 ? width() : hint.width())};
}

void WrappingMenuBar::resizeEvent(QResizeEvent* event)
{
    QMenuBar::resizeEvent(event);
    arrange(event->size().width());
}

void WrappingMenuBar::wrapTo(int width)
{
    arrange(width);
}

void WrappingMenuBar::arrange(int width)
{
    const QList<QList<QAction*>> rows = rowsFor(width);
    const int height = rowHeight();
    if (rows != m_arranged) {
        m_arranging = true;
        for (QAction* title : actions())
            removeAction(title);
        for (QMenuBar* row : m_rows) {
            for (QAction* title : row->actions())
                row->removeAction(title);
        }
        while (m_rows.size() + 1 < static_cast<size_t>(rows.size())) {
            auto* row = new QMenuBar(this);
            row->setNativeMenuBar(false);
            m_rows.push_back(row);
        }
        addActions(rows.first());
        for (qsizetype r = 1; r < rows.size(); ++r)
            m_rows[static_cast<size_t>(r - 1)]->addActions(rows[r]);
        m_arranging = false;
        m_arranged = rows;
        updateGeometry();
    }
    for (size_t r = 0; r < m_rows.size(); ++r) {
        QMenuBar* row = m_rows[r];
        const bool used = static_cast<qsizetype>(r) + 1 < rows.size();
        if (used)
            row->setGeometry(0, static_cast<int>(r + 1) * height, width, height);
        row->setVisible(used);
    }
}
