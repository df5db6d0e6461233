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

std::unique_ptr<QMessageBox> BoxMessages::informationBox(QWidget *parent, const QString &text)
{
    return std::make_unique<QMessageBox>(QMessageBox::Information, applicationTitle(), text,
                                         QMessageBox::Ok, parent);
}

std::unique_ptr<QMessageBox> BoxMessages::questionBox(QWidget *parent, const QString &text)
{
    auto box = std::make_unique<QMessageBox>(QMessageBox::Question, QString(), text,
                                             QMessageBox::Yes | QMessageBox::No, parent);
    box->setDefaultButton(QMessageBox::No);
    box->setEscapeButton(QMessageBox::No);
    return box;
}

std::unique_ptr<QMessageBox> BoxMessages::errorBox(QWidget *parent, const QString &text,
                                                   const QString &details)
{
    auto box = std::make_unique<QMessageBox>(QMessageBox::Critical, applicationTitle(), text,
                                             QMessageBox::Ok, parent);
    if (!details.isEmpty())
        box->setDetailedText(details);
    return box;
}

void BoxMessages::information(QWidget *parent, const QString &text)
{
    informationBox(parent, text)->exec();
}

bool BoxMessages::question(QWidget *parent, const QString &text)
{
    return questionBox(parent, text)->exec() == QMessageBox::Yes;
}

void Messages::error(QWidget *parent, const db::DbError &e)
{
    error(parent, e.message(), e.details());
}

void BoxMessages::error(QWidget *parent, const QString &text, const QString &details)
{
    errorBox(parent, text, details)->exec();
}

} // namespace mizro::ui
