#include "view/LumicutView.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QSet>
#include <QWheelEvent>
#include <filesystem>
#include <system_error>
#include <variant>

#include "engine/PhotoDocument.h"
#include "engine/PhotoPrefetch.h"
#include "engine/SaveQueue.h"
#include "naming/ResultIndex.h"
#include "panel/SidePanel.h"
#include "settings/Settings.h"
#include "view/PhotoView.h"
#include "view/ProgressDialog.h"
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

// Results still being written after this long at quit get a progress window.
constexpr int kQuietFinishMs = 500;
// How often that window follows the queue.
constexpr int kFinishStepMs = 50;

bool fileExists(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::exists(std::filesystem::path(path), error);
}

} // namespace

QString firstStepsHint() {
    return QStringLiteral("Pour commencer :\n"
                          "1. %1 : choisissez le dossier des photos à recadrer.\n"
                          "2. %2 : choisissez le dossier où enregistrer les photos recadrées.")
        .arg(ViewActions::menuPath(Command::WorkingFolder),
             ViewActions::menuPath(Command::DestinationFolder));
}

LumicutView::LumicutView(Settings& settings, UserPrompts& prompts, QWidget* parent)
    : QWidget(parent), m_settings(settings), m_prompts(prompts),
      m_saveQueue(std::make_unique<SaveQueue>()), m_prefetch(std::make_unique<PhotoPrefetch>()),
      m_document(std::make_unique<PhotoDocument>(settings)) {
    m_document->setSaveQueue(m_saveQueue.get());
    m_document->setPrefetch(m_prefetch.get());
    // After the document's own handler, which tells a failure first.
    connect(m_saveQueue.get(), &SaveQueue::saveFinished, this,
            [this](uint64_t, const QString& path, bool) { onSaveFinished(path); });
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent); // the two children cover the whole view
    m_sidePanel = new class SidePanel(settings, this);
    m_display = new PhotoView(settings, *m_document, this);
    m_display->setKeyForwardTarget(this);
    connect(
        m_document.get(), &PhotoDocument::message, this,
        [&prompts](const QString& text, const QString& caption) { prompts.warn(text, caption); });
    m_sidePanel->setResultStatusHandler(
        [this](const std::string& path, bool changed) { showResultStatus(path, changed); });
    m_sidePanel->setPrefetch(m_prefetch.get());
    m_sidePanel->attachDocument(m_document.get());
    m_commandActions = new ViewActions(*this);
    connect(m_document.get(), &PhotoDocument::flagsChanged, m_commandActions,
            &ViewActions::syncCheckMarks);
}

LumicutView::~LumicutView() {
    // The windows that show the document go before it.
    delete m_display;
    delete m_sidePanel;
}

void LumicutView::onInitialUpdate() {
    updateFirstStepsHint();
    m_sidePanel->fillPictureList();
}

void LumicutView::updateFirstStepsHint() {
    m_display->setHint(m_settings.currentFolder().empty() ? firstStepsHint() : QString());
}

void LumicutView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutChildren();
}

void LumicutView::layoutChildren() {
    const int panelWidth = sidePanelWidth(width());
    m_sidePanel->setGeometry(0, 0, panelWidth, height());
    if (!m_display->isFullScreen())
        m_display->setGeometry(panelWidth, 0, width() - panelWidth, height());
}

void LumicutView::keyPressEvent(QKeyEvent* event) {
    handleKey(event->key(), event->modifiers());
    event->accept();
}

void LumicutView::keyReleaseEvent(QKeyEvent* event) {
    // X11 auto-repeat sends a release before each repeated press: the key is still held,
    // so the step keeps growing.
    if (!event->isAutoRepeat())
        m_keyStep.release();
    event->accept();
}

void LumicutView::handleKey(int qtKey, Qt::KeyboardModifiers modifiers) {
    const bool progressive = m_settings.keybProgressif() != 0;
    m_keyStep.beginKey(modifiers.testFlag(Qt::ControlModifier), progressive);
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const ViewKey key = mapViewKey(qtKey, modifiers.testFlag(Qt::KeypadModifier), shift,
                                   modifiers.testFlag(Qt::AltModifier));
    if (const Command* command = std::get_if<Command>(&key))
        m_commandActions->action(*command)->trigger();
    else if (const KeyAction* action = std::get_if<KeyAction>(&key))
        runKeyAction(*action, shift);
    m_keyStep.endKey(progressive);
}

void LumicutView::runKeyAction(KeyAction action, bool shift) {
    const int step = m_keyStep.value();
    switch (action) {
    case KeyAction::Validate:
        validate(shift);
        break;
    case KeyAction::ToggleFullScreen:
        toggleFullScreen();
        break;
    case KeyAction::Reload:
        m_document->reload();
        break;
    case KeyAction::MoveLeft:
        m_document->moveFrameX(-step);
        break;
    case KeyAction::MoveUp:
        m_document->moveFrameY(-step);
        break;
    case KeyAction::MoveRight:
        m_document->moveFrameX(step);
        break;
    case KeyAction::MoveDown:
        m_document->moveFrameY(step);
        break;
    }
}

void LumicutView::validate(bool shift) {
    if (m_document->isModified()) {
        if (m_document->idSheet()) {
            m_document->makeIdSheet();
        } else {
            m_document->cropToFrame();
            if (m_document->whiteBorder())
                m_document->applyWhiteBorder();
        }
        m_document->saveResult();
        m_sidePanel->setCurrentResultIndex(m_document->resultIndex());
        showCurrentResultStatus(false);
        m_sidePanel->refreshGauge();
    } else if (shift) {
        m_document->reload();
        m_document->setResultIndex(m_document->resultIndex() + 1);
        showCurrentResultStatus(false);
    } else {
        m_sidePanel->nextPicture();
    }
}

void LumicutView::deleteResult() {
    // A result still being written is there before it is looked for.
    finishSaves();
    if (!m_document->reserveResultIndex())
        return;
    const std::string path = m_document->resultPath();
    if (path.empty())
        return;
    if (!fileExists(path)) {
        m_prompts.warn(QStringLiteral("Le fichier résultat n'existe pas"),
                       QStringLiteral("Attention!!!"));
        return;
    }
    if (!m_prompts.askYesNo(QStringLiteral("Voulez vous effacer le fichier résultat ?"),
                            QStringLiteral("Suppression fichier résultat")))
        return;
    std::error_code error;
    std::filesystem::remove(std::filesystem::path(path), error);
    m_sidePanel->setCurrentResultIndex(kNoResultIndex);
    showResultStatus(path, false);
}

void LumicutView::transform(void (PhotoDocument::*operation)()) {
    WaitCursor wait;
    (m_document.get()->*operation)();
    m_document->setModified(true);
    showCurrentResultStatus(true);
}

void LumicutView::zoom(int amount) {
    m_document->zoomFrame(amount);
}

void LumicutView::turnFrame() {
    m_document->rotateFrame();
}

void LumicutView::toggleWhiteBorder() {
    m_document->setWhiteBorder(!m_document->whiteBorder());
}

void LumicutView::toggleIdSheet() {
    m_document->setIdSheet(!m_document->idSheet());
    if (m_document->idSheet())
        m_document->setWhiteBorder(false);
}

void LumicutView::toggleThirds() {
    m_document->setThirds(!m_document->thirds());
}

void LumicutView::toggleFullScreen() {
    m_display->setFullScreen(!m_display->isFullScreen());
    if (!m_display->isFullScreen()) {
        layoutChildren();
        // The keyboard comes back to the main window with the picture.
        window()->activateWindow();
    }
    setFocus();
}

void LumicutView::chooseWorkingFolder() {
    const std::string folder = prompts().chooseFolder(
        QStringLiteral("Sélectionner le répertoire courant"), m_settings.currentFolder());
    if (folder.empty())
        return;
    m_settings.setCurrentFolder(folder);
    updateFirstStepsHint();
    // Without a destination, loading the first photo says so ("Veuillez définir...").
    m_sidePanel->fillPictureList();
    if (!m_settings.destinationFolder().empty())
        return;
    // The second step follows at once instead of leaving the user to find it.
    chooseDestinationFolder();
    if (!m_settings.destinationFolder().empty()) {
        // Again with the destination: its results are left out of the list, and the status
        // bar shows where the first result goes.
        m_sidePanel->fillPictureList();
    }
}

void LumicutView::chooseDestinationFolder() {
    const std::string folder =
        prompts().chooseFolder(QStringLiteral("Sélectionner le répertoire de destination"),
                               m_settings.destinationFolder());
    if (!folder.empty())
        m_settings.setDestinationFolder(folder);
}

void LumicutView::runPreferences() {
    // The keys the dialog changed, as the settings announce them.
    QSet<QString> changed;
    const QMetaObject::Connection watch =
        connect(&m_settings, &Settings::changed, this,
                [&changed](const QString& key) { changed.insert(key); });
    runHook(m_hooks.preferences);
    disconnect(watch);
    m_sidePanel->fillFormatList();
    if (changed.contains(QStringLiteral("RECURSE_ORIGIN")))
        m_sidePanel->fillPictureList();
    if (changed.contains(QStringLiteral("SHOWFULLFILENAME")))
        showCurrentResultStatus(false);
    m_display->redraw(); // opacity and frame colours may have changed
}

void LumicutView::runRename() {
    runHook(m_hooks.renamePhotos);
    m_sidePanel->fillPictureList();
}

void LumicutView::showResultStatus(const std::string& path, bool changed) {
    m_statusPath = path;
    m_statusChanged = changed;
    emit resultStatusChanged(path, changed);
}

bool LumicutView::isResultBeingWritten(const std::string& path) const {
    return m_saveQueue->isPending(path);
}

void LumicutView::onSaveFinished(const QString& path) {
    if (path.toStdString() == m_statusPath)
        showResultStatus(m_statusPath, m_statusChanged);
}

void LumicutView::finishSaves() {
    if (m_saveQueue->finish(0))
        return;
    const int total = m_saveQueue->pendingCount();
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<ProgressDialog> progress;
    while (!m_saveQueue->finish(kFinishStepMs)) {
        if (!progress && clock.elapsed() >= kQuietFinishMs) {
            progress = std::make_unique<ProgressDialog>(window());
            progress->show();
        }
        if (progress) {
            const int left = std::min(m_saveQueue->pendingCount(), total);
            progress->setPos(100 * (total - left) / std::max(total, 1));
        }
    }
}

UserPrompts& LumicutView::prompts() {
    finishSaves();
    return m_prompts;
}

void LumicutView::showCurrentResultStatus(bool changed) {
    m_document->reserveResultIndex();
    showResultStatus(m_document->resultPath(), changed);
}

void LumicutView::runHook(const std::function<void()>& hook) {
    finishSaves();
    if (hook)
        hook();
}

void LumicutView::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        m_leftAnchor = point;
    else if (event->button() == Qt::RightButton)
        m_rightAnchor = point;
    setFocus();
}

void LumicutView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_leftAnchor = QPoint();
    else if (event->button() == Qt::RightButton)
        m_rightAnchor = QPoint();
}

void LumicutView::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click validates like Enter (with Shift, like Shift+Enter).
    if (event->button() == Qt::LeftButton)
        handleKey(Qt::Key_Return, event->modifiers());
}

void LumicutView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (!m_leftAnchor.isNull()) {
        m_document->moveFrame(point.x() - m_leftAnchor.x(), point.y() - m_leftAnchor.y());
        m_leftAnchor = point;
    }
    if (!m_rightAnchor.isNull()) {
        m_document->zoomFrame(
            rightDragZoomAmount(m_rightAnchor.x(), m_rightAnchor.y(), point.x(), point.y()));
        m_rightAnchor = point;
    }
}

void LumicutView::wheelEvent(QWheelEvent* event) {
    // Turned toward the user (negative): a larger frame; otherwise a smaller one.
    m_commandActions->action(event->angleDelta().y() < 0 ? Command::ZoomIn : Command::ZoomOut)
        ->trigger();
    event->accept();
}
