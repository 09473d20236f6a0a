#include "view/LumicutView.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QSet>
#include <QWheelEvent>
#include <filesystem>
#include <system_error>
#include <variant>

#include "engine/PhotoDocument.h"
#include "naming/ResultIndex.h"
#include "panel/SidePanelDlg.h"
#include "settings/Settings.h"
#include "view/PictureWnd.h"
#include "view/ViewActions.h"
#include "widgets/UserPrompts.h"

namespace {

// Wait cursor for the length of a scope.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

bool FileExists(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::exists(std::filesystem::path(path), error);
}

} // namespace

QString FirstStepsHint() {
    return QStringLiteral("Pour commencer :\n"
                          "1. %1 : choisissez le dossier des photos à recadrer.\n"
                          "2. %2 : choisissez le dossier où enregistrer les photos recadrées.")
        .arg(ViewActions::menuPath(Command::WorkingFolder),
             ViewActions::menuPath(Command::DestinationFolder));
}

CLumicutView::CLumicutView(CSettings& settings, UserPrompts& prompts, QWidget* parent)
    : QWidget(parent), settings(settings), prompts(prompts),
      document(std::make_unique<PhotoDocument>(settings)) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent); // the two children cover the whole view
    sidePanel = new CSidePanelDlg(settings, this);
    display = new CPictureWnd(settings, *document, this);
    display->SetKeyForwardTarget(this);
    connect(
        document.get(), &PhotoDocument::message, this,
        [&prompts](const QString& text, const QString& caption) { prompts.warn(text, caption); });
    sidePanel->SetResultStatusHandler(
        [this](const std::string& path, bool changed) { ShowResultStatus(path, changed); });
    sidePanel->AttachDocument(document.get());
    commandActions = new ViewActions(*this);
    connect(document.get(), &PhotoDocument::flagsChanged, commandActions,
            &ViewActions::syncCheckMarks);
}

CLumicutView::~CLumicutView() {
    // The windows that show the document go before it.
    delete display;
    delete sidePanel;
}

void CLumicutView::OnInitialUpdate() {
    UpdateFirstStepsHint();
    sidePanel->FillPictureList();
}

void CLumicutView::UpdateFirstStepsHint() {
    display->SetHint(settings.GetCurrentFolder().empty() ? FirstStepsHint() : QString());
}

void CLumicutView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutChildren();
}

void CLumicutView::LayoutChildren() {
    const int panelWidth = SidePanelWidth(width());
    sidePanel->setGeometry(0, 0, panelWidth, height());
    if (!display->IsFullScreen())
        display->setGeometry(panelWidth, 0, width() - panelWidth, height());
}

void CLumicutView::keyPressEvent(QKeyEvent* event) {
    HandleKey(event->key(), event->modifiers());
    event->accept();
}

void CLumicutView::keyReleaseEvent(QKeyEvent* event) {
    // X11 auto-repeat sends a release before each repeated press: the key is still held,
    // so the step keeps growing.
    if (!event->isAutoRepeat())
        keyStep.Release();
    event->accept();
}

void CLumicutView::HandleKey(int qtKey, Qt::KeyboardModifiers modifiers) {
    const bool progressive = settings.GetKeybProgressif() != 0;
    keyStep.BeginKey(modifiers.testFlag(Qt::ControlModifier), progressive);
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const ViewKey key = MapViewKey(qtKey, modifiers.testFlag(Qt::KeypadModifier), shift,
                                   modifiers.testFlag(Qt::AltModifier));
    if (const Command* command = std::get_if<Command>(&key))
        commandActions->action(*command)->trigger();
    else if (const KeyAction* action = std::get_if<KeyAction>(&key))
        RunKeyAction(*action, shift);
    keyStep.EndKey(progressive);
}

void CLumicutView::RunKeyAction(KeyAction action, bool shift) {
    const int step = keyStep.Value();
    switch (action) {
    case KeyAction::Validate:
        Validate(shift);
        break;
    case KeyAction::ToggleFullScreen:
        ToggleFullScreen();
        break;
    case KeyAction::Reload:
        document->reload();
        break;
    case KeyAction::MoveLeft:
        document->moveFrameX(-step);
        break;
    case KeyAction::MoveUp:
        document->moveFrameY(-step);
        break;
    case KeyAction::MoveRight:
        document->moveFrameX(step);
        break;
    case KeyAction::MoveDown:
        document->moveFrameY(step);
        break;
    }
}

void CLumicutView::Validate(bool shift) {
    if (document->isModified()) {
        if (document->idSheet()) {
            document->makeIdSheet();
        } else {
            document->cropToFrame();
            if (document->whiteBorder())
                document->applyWhiteBorder();
        }
        document->saveResult();
        sidePanel->SetCurrentResultIndex(document->resultIndex());
        ShowCurrentResultStatus(false);
        sidePanel->RefreshGauge();
    } else if (shift) {
        document->reload();
        document->setResultIndex(document->resultIndex() + 1);
        ShowCurrentResultStatus(false);
    } else {
        sidePanel->NextPicture();
    }
}

void CLumicutView::DeleteResult() {
    if (!document->reserveResultIndex())
        return;
    const std::string path = document->resultPath();
    if (path.empty())
        return;
    if (!FileExists(path)) {
        prompts.warn(QStringLiteral("Le fichier résultat n'existe pas"),
                     QStringLiteral("Attention!!!"));
        return;
    }
    if (!prompts.askYesNo(QStringLiteral("Voulez vous effacer le fichier résultat ?"),
                          QStringLiteral("Suppression fichier résultat")))
        return;
    std::error_code error;
    std::filesystem::remove(std::filesystem::path(path), error);
    sidePanel->SetCurrentResultIndex(NO_RESULT_INDEX);
    ShowResultStatus(path, false);
}

void CLumicutView::Transform(void (PhotoDocument::*operation)()) {
    WaitCursor wait;
    (document.get()->*operation)();
    document->setModified(true);
    ShowCurrentResultStatus(true);
}

void CLumicutView::Zoom(int amount) {
    document->zoomFrame(amount);
}

void CLumicutView::TurnFrame() {
    document->rotateFrame();
}

void CLumicutView::ToggleWhiteBorder() {
    document->setWhiteBorder(!document->whiteBorder());
}

void CLumicutView::ToggleIdSheet() {
    document->setIdSheet(!document->idSheet());
    if (document->idSheet())
        document->setWhiteBorder(false);
}

void CLumicutView::ToggleThirds() {
    document->setThirds(!document->thirds());
}

void CLumicutView::ToggleFullScreen() {
    display->SetFullScreen(!display->IsFullScreen());
    if (!display->IsFullScreen()) {
        LayoutChildren();
        // The keyboard comes back to the main window with the picture.
        window()->activateWindow();
    }
    setFocus();
}

void CLumicutView::ChooseWorkingFolder() {
    const std::string folder = prompts.chooseFolder(
        QStringLiteral("Sélectionner le répertoire courant"), settings.GetCurrentFolder());
    if (folder.empty())
        return;
    settings.SetCurrentFolder(folder);
    UpdateFirstStepsHint();
    // Without a destination, loading the first photo says so ("Veuillez définir...").
    sidePanel->FillPictureList();
    if (!settings.GetDestinationFolder().empty())
        return;
    // The second step follows at once instead of leaving the user to find it.
    ChooseDestinationFolder();
    if (!settings.GetDestinationFolder().empty()) {
        // Again with the destination: its results are left out of the list, and the status
        // bar shows where the first result goes.
        sidePanel->FillPictureList();
    }
}

void CLumicutView::ChooseDestinationFolder() {
    const std::string folder =
        prompts.chooseFolder(QStringLiteral("Sélectionner le répertoire de destination"),
                             settings.GetDestinationFolder());
    if (!folder.empty())
        settings.SetDestinationFolder(folder);
}

void CLumicutView::RunPreferences() {
    // The keys the dialog changed, as the settings announce them.
    QSet<QString> changed;
    const QMetaObject::Connection watch =
        connect(&settings, &CSettings::changed, this,
                [&changed](const QString& key) { changed.insert(key); });
    RunHook(hooks.preferences);
    disconnect(watch);
    sidePanel->FillFormatList();
    if (changed.contains(QStringLiteral("RECURSE_ORIGIN")))
        sidePanel->FillPictureList();
    if (changed.contains(QStringLiteral("SHOWFULLFILENAME")))
        ShowCurrentResultStatus(false);
    display->Redraw(); // opacity and frame colours may have changed
}

void CLumicutView::RunRename() {
    RunHook(hooks.renamePhotos);
    sidePanel->FillPictureList();
}

void CLumicutView::ShowResultStatus(const std::string& path, bool changed) {
    emit resultStatusChanged(path, changed);
}

void CLumicutView::ShowCurrentResultStatus(bool changed) {
    document->reserveResultIndex();
    ShowResultStatus(document->resultPath(), changed);
}

void CLumicutView::RunHook(const std::function<void()>& hook) {
    if (hook)
        hook();
}

void CLumicutView::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        leftAnchor = point;
    else if (event->button() == Qt::RightButton)
        rightAnchor = point;
    setFocus();
}

void CLumicutView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        leftAnchor = QPoint();
    else if (event->button() == Qt::RightButton)
        rightAnchor = QPoint();
}

void CLumicutView::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click validates like Enter (with Shift, like Shift+Enter).
    if (event->button() == Qt::LeftButton)
        HandleKey(Qt::Key_Return, event->modifiers());
}

void CLumicutView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (!leftAnchor.isNull()) {
        document->moveFrame(point.x() - leftAnchor.x(), point.y() - leftAnchor.y());
        leftAnchor = point;
    }
    if (!rightAnchor.isNull()) {
        document->zoomFrame(
            RightDragZoomAmount(rightAnchor.x(), rightAnchor.y(), point.x(), point.y()));
        rightAnchor = point;
    }
}

void CLumicutView::wheelEvent(QWheelEvent* event) {
    // Turned toward the user (negative): a larger frame; otherwise a smaller one.
    commandActions->action(event->angleDelta().y() < 0 ? Command::ZoomIn : Command::ZoomOut)
        ->trigger();
    event->accept();
}
