#include "view/LumicutView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QSet>
#include <QWheelEvent>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/CommandId.h"
#include "app/CommandTable.h"
#include "app/MainFrame.h"
#include "engine/PhotoDocument.h"
#include "naming/ResultIndex.h"
#include "panel/SidePanelDlg.h"
#include "settings/Settings.h"
#include "view/PictureWnd.h"
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

// "Fichier > Répertoire de travail...": the menu title and the command's menu text as the
// menu shows them (no mnemonic marks, no key column).
QString MenuPath(CommandId id) {
    const auto shown = [](const char* text) {
        QString plain = QString::fromUtf8(text).section(QLatin1Char('\t'), 0, 0);
        return plain.remove(QLatin1Char('&'));
    };
    const CommandInfo* command = FindCommand(id);
    QString path =
        command != nullptr && command->menuText != nullptr ? shown(command->menuText) : QString();
    for (const MenuInfo& menu : MenuStructure()) {
        if (std::find(menu.items.begin(), menu.items.end(), static_cast<int>(id)) !=
            menu.items.end())
            return shown(menu.title) + QStringLiteral(" > ") + path;
    }
    return path;
}

bool FileExists(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::exists(std::filesystem::path(path), error);
}

} // namespace

QString FirstStepsHint() {
    return QStringLiteral("Pour commencer :\n"
                          "1. %1 : choisissez le dossier des photos à recadrer.\n"
                          "2. %2 : choisissez le dossier où enregistrer les photos recadrées.")
        .arg(MenuPath(CommandId::WorkingFolder), MenuPath(CommandId::DestinationFolder));
}

CLumicutView::CLumicutView(CSettings& settings, UserPrompts& prompts, CMainFrame* frame,
                           QWidget* parent)
    : QWidget(parent), settings(settings), prompts(prompts), frame(frame),
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
    if (frame) {
        frame->SetCheckSource(CommandId::Thirds, [this] { return document->thirds(); });
        frame->SetCheckSource(CommandId::WhiteBorder, [this] { return document->whiteBorder(); });
        frame->SetCheckSource(CommandId::IdSheet, [this] { return document->idSheet(); });
        connect(document.get(), &PhotoDocument::flagsChanged, frame, &CMainFrame::UpdateCheckMarks);
        connect(frame, &CMainFrame::CommandTriggered, this, &CLumicutView::OnCommand);
    }
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

void CLumicutView::OnCommand(int commandId) {
    switch (static_cast<CommandId>(commandId)) {
    case CommandId::WorkingFolder:
        ChooseWorkingFolder();
        break;
    case CommandId::DestinationFolder:
        ChooseDestinationFolder();
        break;
    case CommandId::Preferences:
        RunPreferences();
        break;
    case CommandId::FullScreen:
        display->SetFullScreen(true);
        setFocus();
        break;
    case CommandId::Thirds:
        ToggleThirds();
        break;
    case CommandId::WhiteBorder:
        ToggleWhiteBorder();
        break;
    case CommandId::RotateLeft:
        Transform(&PhotoDocument::rotateLeft);
        break;
    case CommandId::RotateRight:
        Transform(&PhotoDocument::rotateRight);
        break;
    case CommandId::FlipVertical:
        Transform(&PhotoDocument::flipVertical);
        break;
    case CommandId::FlipHorizontal:
        Transform(&PhotoDocument::flipHorizontal);
        break;
    case CommandId::Grayscale:
        Transform(&PhotoDocument::toGrayscale);
        break;
    case CommandId::Sepia:
        Transform(&PhotoDocument::toSepia);
        break;
    case CommandId::DeleteResult:
        DeleteResult();
        break;
    case CommandId::DeletePreviousResult:
        sidePanel->PreviousPicture();
        DeleteResult();
        break;
    case CommandId::NextPicture:
        sidePanel->NextPicture();
        break;
    case CommandId::PreviousPicture:
        sidePanel->PreviousPicture();
        break;
    case CommandId::RenamePhotos:
        RunRename();
        break;
    case CommandId::IdSheet:
        ToggleIdSheet();
        break;
    case CommandId::OnlineHelp:
        RunHook(hooks.onlineHelp);
        break;
    case CommandId::CheckUpdates:
        RunHook(hooks.checkUpdates);
        break;
    case CommandId::Forum:
        RunHook(hooks.forum);
        break;
    case CommandId::ZoomIn:
        Zoom(-keyStep.Value());
        break;
    case CommandId::ZoomOut:
        Zoom(keyStep.Value());
        break;
    case CommandId::TurnFrame:
        TurnFrame();
        break;
    case CommandId::About: // handled by the frame
    case CommandId::Quit:
        break;
    }
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
    Dispatch(MapViewKey(qtKey, modifiers.testFlag(Qt::KeypadModifier), shift,
                        modifiers.testFlag(Qt::AltModifier)),
             shift);
    keyStep.EndKey(progressive);
}

void CLumicutView::Dispatch(ViewAction action, bool shift) {
    const int step = keyStep.Value();
    switch (action) {
    case ViewAction::None:
        break;
    case ViewAction::DeletePreviousResult:
        OnCommand(static_cast<int>(CommandId::DeletePreviousResult));
        break;
    case ViewAction::Validate:
        Validate(shift);
        break;
    case ViewAction::NextPicture:
        sidePanel->NextPicture();
        break;
    case ViewAction::ToggleFullScreen:
        ToggleFullScreen();
        break;
    case ViewAction::Reload:
        document->reload();
        break;
    case ViewAction::MoveLeft:
        document->moveFrameX(-step);
        break;
    case ViewAction::MoveUp:
        document->moveFrameY(-step);
        break;
    case ViewAction::MoveRight:
        document->moveFrameX(step);
        break;
    case ViewAction::MoveDown:
        document->moveFrameY(step);
        break;
    case ViewAction::RotateLeft:
        OnCommand(static_cast<int>(CommandId::RotateLeft));
        break;
    case ViewAction::FlipVertical:
        OnCommand(static_cast<int>(CommandId::FlipVertical));
        break;
    case ViewAction::RotateRight:
        OnCommand(static_cast<int>(CommandId::RotateRight));
        break;
    case ViewAction::FlipHorizontal:
        OnCommand(static_cast<int>(CommandId::FlipHorizontal));
        break;
    case ViewAction::DeleteResult:
        DeleteResult();
        break;
    case ViewAction::ToggleWhiteBorder:
        ToggleWhiteBorder();
        break;
    case ViewAction::ToggleIdSheet:
        ToggleIdSheet();
        break;
    case ViewAction::PreviousPicture:
        sidePanel->PreviousPicture();
        break;
    case ViewAction::Grayscale:
        OnCommand(static_cast<int>(CommandId::Grayscale));
        break;
    case ViewAction::Sepia:
        OnCommand(static_cast<int>(CommandId::Sepia));
        break;
    case ViewAction::TurnFrame:
        TurnFrame();
        break;
    case ViewAction::ZoomIn:
        Zoom(-step);
        break;
    case ViewAction::ZoomOut:
        Zoom(step);
        break;
    case ViewAction::ToggleThirds:
        ToggleThirds();
        break;
    case ViewAction::OnlineHelp:
        RunHook(hooks.onlineHelp);
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
    if (frame)
        frame->ShowResultStatus(path, changed);
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
    OnCommand(
        static_cast<int>(event->angleDelta().y() < 0 ? CommandId::ZoomIn : CommandId::ZoomOut));
    event->accept();
}
