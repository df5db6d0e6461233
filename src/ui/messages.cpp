#include "messages.h"

#include "db/dberror.h"

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

void Messages::error(QWidget *parent, const db::DbError &e)
{
    error(parent, e.message(), e.details());
}

void BoxMessages::error(QWidget *parent, const QString &text, const QString &details)
{
    QMessageBox box(QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok, parent);
    if (!details.isEmpty())
        box.setDetailedText(details);
    box.exec();
}

} // namespace mizro::ui
