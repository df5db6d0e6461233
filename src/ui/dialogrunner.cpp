#include "dialogrunner.h"

#include <QDialog>

namespace mizro::ui {

int ModalDialogRunner::exec(QDialog &dialog)
{
    return dialog.exec();
}

int ScriptedDialogRunner::exec(QDialog &dialog)
{
    ++m_runs;
    dialog.setResult(0);
    dialog.show();
    const int result = m_script ? m_script(dialog) : dialog.result();
    dialog.hide();
    return result;
}

} // namespace mizro::ui
