#include "messages.h"

#include <QApplication>
#include <QMessageBox>

namespace mizro::ui {

namespace {
QString applicationTitle()
{
    return QApplication::applicationName();
}
} // namespace

void BoxMessages::information(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Information, applicationTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

bool BoxMessages::question(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Question, QString(), text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void BoxMessages::error(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace mizro::ui
