#include "toolkit/qt/QtWindowWidget.h"

#include "toolkit/qt/QtText.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWindow>

namespace {

// The local files a drag carries, as active-code-page paths.
std::vector<std::string> LocalFiles(const QMimeData* data)
{
    std::vector<std::string> paths;
    if (data == nullptr || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths.push_back(QStringToAnsi(url.toLocalFile()));
    }
    return paths;
}

} // namespace

QtWindowWidget::QtWindowWidget(QWidget* owner)
        : QWidget(owner,
            owner ? (Qt::Dialog | Qt::FramelessWindowHint)
                  : (Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint))
{
    setAttribute(Qt::WA_DeleteOnClose, false);
}

bool QtWindowWidget::InCaption(const QPoint& point) const
{
    if (m_caption.bottom <= m_caption.top)
        return false;
    const int right = m_caption.right > 0 ? m_caption.right : width();
    return point.x() >= m_caption.left && point.x() < right && point.y() >= m_caption.top
        && point.y() < m_caption.bottom;
}

void QtWindowWidget::CloseNow()
{
    m_closing = true;
    close();
}

void QtWindowWidget::closeEvent(QCloseEvent* event)
{
    if (m_closing) {
        event->accept();
        return;
    }
    event->ignore();
    if (onCloseRequest) {
        auto handler = onCloseRequest;
        handler();
    }
}

void QtWindowWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (onResized)
        onResized(size());
}

void QtWindowWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !InCaption(event->position().toPoint())) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    m_dragging = true;
    m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void QtWindowWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    move(event->globalPosition().toPoint() - m_dragOffset);
    event->accept();
}

void QtWindowWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_dragging && event->button() == Qt::LeftButton) {
        m_dragging = false;
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void QtWindowWidget::dragEnterEvent(QDragEnterEvent* event)
{
    if (onFilesDropped && !LocalFiles(event->mimeData()).empty())
        event->acceptProposedAction();
}

void QtWindowWidget::dropEvent(QDropEvent* event)
{
    const std::vector<std::string> paths = LocalFiles(event->mimeData());
    if (!onFilesDropped || paths.empty())
        return;
    event->acceptProposedAction();
    onFilesDropped(paths);
}

bool QtWindowWidget::focusNextPrevChild(bool next)
{
    // Widgets hand Tab up to their window, which settles the order before Qt follows it.
    if (onTabbing)
        onTabbing();
    return QWidget::focusNextPrevChild(next);
}
