#include "Samples.h"
#include "Shots.h"

#include <Noctavi/UI/MessageBoxSeam.h>
#include <Noctavi/Utility/SearchOptions.h>

#include <QApplication>
#include <QDir>

#include <cstdlib>
#include <iostream>

namespace {

// A box that no shot asked for would wait for an answer that never comes
// until the test's time-out: the run fails at once instead.
QMessageBox::StandardButton UnexpectedBox(const UI::MessageBoxRequest& request)
{
    std::cerr << "dialog-gallery: an unexpected message box: " << request.text.toStdString() << '\n';
    std::_Exit(1);
}

} // namespace

// dialog-gallery OUTDIR: draws every shot of the gallery into OUTDIR as
// NAME.png, on the offscreen platform, so that the program's windows can be
// looked at without a desktop.
int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: dialog-gallery OUTDIR\n";
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::cerr << "dialog-gallery: cannot create " << argv[1] << '\n';
        return 1;
    }

    // No shot searches; should one, it asks the discard port on loopback.
    discovery::round_options nowhere;
    nowhere.target = {"127.0.0.1", 9};
    Utility::SetSearchOptions(nowhere);

    const UI::MessageBoxSeam::Override boxes(UI::ShowMessageBox(), &UnexpectedBox);
    Samples samples;
    int failures = 0;
    for (const Shot& shot : Shots()) {
        const QString path = folder.filePath(shot.name + QStringLiteral(".png"));
        const bool saved = shot.render(samples).save(path);
        failures += !saved;
        std::cout << (saved ? "" : "FAILED ") << path.toStdString() << '\n';
    }
    return failures == 0 ? 0 : 1;
}
