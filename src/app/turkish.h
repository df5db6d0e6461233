#pragma once

class QCoreApplication;

namespace mizro::app {

/// Qt's own Turkish texts for what Qt itself shows (standard buttons read
/// "Tamam", "Evet", "Hayır", "İptal"; the file and print dialogs) and the
/// Turkish locale for what Qt formats. The program's own texts are Turkish
/// already. False when Qt's translations are not installed.
bool useTurkish(QCoreApplication &app);

} // namespace mizro::app
