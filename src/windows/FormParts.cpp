#include "windows/FormParts.h"

#include "platform/ColorScheme.h"
#include "wheel/Symbols.h"

#include <QApplication>
#include <QLayout>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QStyle>
#include <QWidget>

namespace FormParts {

namespace {
QPalette darkPalette()
{
    QPalette p;
    // Fields and check boxes lighter than the window: the style outlines them in a shade darker
    // than the window, which a darker field would swallow.
    const QColor window(40, 40, 43), base(56, 56, 60), text(236, 236, 238), dim(150, 150, 156);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(58, 58, 62));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, dim);
    p.setColor(QPalette::Highlight, QColor(10, 132, 255));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Light, QColor(70, 70, 74));
    p.setColor(QPalette::Midlight, QColor(62, 62, 66));
    p.setColor(QPalette::Mid, QColor(48, 48, 52));
    p.setColor(QPalette::Dark, QColor(20, 20, 22));
    p.setColor(QPalette::Shadow, Qt::black);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) p.setColor(QPalette::Disabled, role, dim);
    return p;
}

QPalette lightPalette()
{
    QPalette p = QApplication::style()->standardPalette();
    p.setColor(QPalette::PlaceholderText, QColor(120, 120, 126));
    return p;
}
}

void setSymbol(QLabel* label, const std::string& name, const QColor& color)
{
    const auto family = Symbols::fontFamily();
    const auto ligature = Symbols::ligature(name);
    if (!family || !ligature) {
        label->clear();
        return;
    }
    QFont font(*family);
    font.setPointSizeF(label->font().pointSizeF());
    label->setFont(font);
    label->setText(*ligature);
    label->setStyleSheet(color.isValid() ? "color: " + color.name() : QString());
}

QLabel* symbol(const std::string& name, const QColor& color, int points)
{
    auto* label = new QLabel;
    QFont font = label->font();
    font.setPointSize(points);
    label->setFont(font);
    setSymbol(label, name, color);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QIcon symbolIcon(const std::string& name)
{
    const auto family = Symbols::fontFamily();
    const auto ligature = Symbols::ligature(name);
    if (!family || !ligature) return {};
    QIcon icon;
    // Both sizes, so that a 2× screen gets a sharp one.
    for (const int pixels : {16, 32}) {
        QPixmap pixmap(pixels, pixels);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        QFont font(*family);
        font.setPixelSize(pixels);
        p.setFont(font);
        p.setPen(QApplication::palette().color(QPalette::WindowText));
        p.drawText(pixmap.rect(), Qt::AlignCenter, *ligature);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QLabel* caption(const QString& text)
{
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    label->setForegroundRole(QPalette::PlaceholderText);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 0.9);
    label->setFont(font);
    return label;
}

void clearRows(QLayout* rows)
{
    while (QLayoutItem* item = rows->takeAt(0)) {
        item->widget()->hide();
        item->widget()->deleteLater();
        delete item;
    }
}

void focusBefore(QLayout* rows, QWidget* next)
{
    QWidget* previous = next->previousInFocusChain();
    for (int i = 0; i < rows->count(); ++i) {
        QWidget* row = rows->itemAt(i)->widget();
        if (!row) continue;
        for (QWidget* control : row->findChildren<QWidget*>()) {
            if (control->focusPolicy() == Qt::NoFocus) continue;
            QWidget::setTabOrder(previous, control);
            previous = control;
        }
    }
}

void followColorScheme(QWidget* window)
{
    const auto apply = [window] { window->setPalette(ColorScheme::shared().dark() ? darkPalette() : lightPalette()); };
    apply();
    QObject::connect(&ColorScheme::shared(), &ColorScheme::changed, window, apply);
}

}
