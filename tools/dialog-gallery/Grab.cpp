#include "Grab.h"

#include <Noctavi/UI/Icons.h>
#include <Noctavi/UI/MessageBoxSeam.h>

#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include <iterator>
#include <memory>
#include <vector>

namespace {

const int kIconIds[] = {UI::kApplicationIcon,  UI::kUnreadTrayIcon, UI::kUnreadColumnIcon, UI::kUnreadItemIcon,
                        UI::kReadItemIcon,     UI::kUnreadCountIcon, UI::kNoUnreadCountIcon};
const QColor kPanels[] = {QColor(0xEF, 0xEF, 0xEF), QColor(0x2B, 0x2B, 0x2B)};
// Each size as drawn, then blown up pixel by pixel for a close look.
const struct {
    int size;
    int zoom;
} kIconViews[] = {{16, 1}, {22, 1}, {16, 4}, {22, 3}};
constexpr int kCell = 72;
constexpr int kTitleHeight = 24;
const QColor kTitleBar(0x3C, 0x4A, 0x5A);
const QColor kDesktop(0x5B, 0x7F, 0x95);
constexpr int kLabelWidth = 40;

QPixmap GrabShown(QWidget& widget)
{
    QApplication::processEvents();
    const QPixmap picture = widget.grab();
    widget.hide();
    return picture;
}

} // namespace

QPixmap GrabWindow(QWidget& window)
{
    window.show();
    const QPixmap client = GrabShown(window);
    // The offscreen platform draws no frame: a plain title bar stands in for
    // it, so that the caption and the window icon can be checked too.
    QPixmap framed(client.width(), client.height() + kTitleHeight);
    framed.fill(kTitleBar);
    QPainter painter(&framed);
    const QIcon icon = window.windowIcon();
    const int iconSpace = icon.isNull() ? 0 : kTitleHeight;
    if (!icon.isNull())
        painter.drawPixmap(4, (kTitleHeight - 16) / 2, icon.pixmap(16));
    painter.setPen(Qt::white);
    painter.drawText(QRect(6 + iconSpace, 0, client.width() - 6 - iconSpace, kTitleHeight),
                     Qt::AlignVCenter | Qt::AlignLeft, window.windowTitle());
    painter.drawPixmap(0, kTitleHeight, client);
    return framed;
}

QPixmap GrabOnWorkArea(QWidget& window)
{
    const QPixmap framed = GrabWindow(window);
    const QRect workArea = QGuiApplication::primaryScreen()->availableGeometry();
    QPixmap desktop(workArea.size());
    desktop.fill(kDesktop);
    QPainter painter(&desktop);
    // The client area where the window placed itself, the title bar above it.
    const QPoint client = window.geometry().topLeft() - workArea.topLeft();
    painter.drawPixmap(client - QPoint(0, kTitleHeight), framed);
    return desktop;
}

QPixmap GrabMenu(QMenu& menu)
{
    menu.popup(QPoint(0, 0));
    return GrabShown(menu);
}

QPixmap GrabMessageBox(const std::function<void()>& show)
{
    std::vector<UI::MessageBoxRequest> requests;
    {
        const UI::MessageBoxSeam::Override capture(UI::ShowMessageBox(), [&](const UI::MessageBoxRequest& request) {
            requests.push_back(request);
            return QMessageBox::NoButton;
        });
        show();
    }
    const std::unique_ptr<QMessageBox> box = UI::CreateMessageBox(requests.at(0));
    return GrabWindow(*box);
}

QPixmap IconSheet()
{
    const int columns = static_cast<int>(std::size(kIconViews) * std::size(kPanels));
    const int rows = static_cast<int>(std::size(kIconIds));
    QPixmap sheet(kLabelWidth + columns * kCell, rows * kCell);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    int top = 0;
    for (int id : kIconIds) {
        const QIcon icon = UI::LoadIconResource(id);
        painter.drawText(QRect(0, top, kLabelWidth, kCell), Qt::AlignCenter, QString::number(id));
        int left = kLabelWidth;
        for (const auto& view : kIconViews) {
            const QPixmap drawn = icon.pixmap(view.size);
            const QPixmap shown = drawn.scaled(drawn.size() * view.zoom); // nearest pixel: no smoothing
            for (const QColor& panel : kPanels) {
                painter.fillRect(left, top, kCell, kCell, panel);
                painter.drawPixmap(left + (kCell - shown.width()) / 2, top + (kCell - shown.height()) / 2, shown);
                left += kCell;
            }
        }
        top += kCell;
    }
    return sheet;
}
