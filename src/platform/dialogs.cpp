#include "dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QSettings>

namespace zorv {

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None:
        return QMessageBox::NoIcon;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QString captionOrTitle(const QString &caption)
{
    return caption.isEmpty() ? QGuiApplication::applicationDisplayName() : caption;
}

} // namespace

WidgetDialogs::WidgetDialogs(const QString &historyFolder)
{
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, historyFolder);
}

void WidgetDialogs::message(const QString &text, const QString &caption, MessageIcon icon)
{
    QMessageBox box(boxIcon(icon), captionOrTitle(caption), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

bool WidgetDialogs::question(const QString &text, const QString &caption, MessageIcon icon,
                             DefaultAnswer defaultAnswer)
{
    QMessageBox box(boxIcon(icon), captionOrTitle(caption), text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setDefaultButton(defaultAnswer == DefaultAnswer::Yes ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString WidgetDialogs::openFile(const QString &caption, const QString &folder, const QString &filter)
{
    return QDir::toNativeSeparators(
        QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, folder, filter));
}

QString WidgetDialogs::chooseFolder(const QString &caption, const QString &folder)
{
    return QDir::toNativeSeparators(QFileDialog::getExistingDirectory(QApplication::activeWindow(), caption,
                                                                      folder, QFileDialog::ShowDirsOnly));
}

} // namespace zorv
