#pragma once

#include <functional>

class QDialog;

namespace mizro::ui {

/// Shows modal screens. The program waits in exec(); tests drive the dialog
/// while it is shown and never block.
class DialogRunner {
public:
    virtual ~DialogRunner() = default;
    virtual int exec(QDialog &dialog) = 0;
};

class ModalDialogRunner : public DialogRunner {
public:
    int exec(QDialog &dialog) override;
};

/// Shows the dialog without blocking, hands it to the script, then hides it.
/// The result is what the script returns.
class ScriptedDialogRunner : public DialogRunner {
public:
    using Script = std::function<int(QDialog &)>;
    void setScript(Script script) { m_script = std::move(script); }
    int exec(QDialog &dialog) override;
    int runs() const { return m_runs; }

private:
    Script m_script;
    int m_runs = 0;
};

} // namespace mizro::ui
