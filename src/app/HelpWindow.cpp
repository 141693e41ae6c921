#include "app/HelpWindow.h"

#include "app/HelpPages.h"

#include <QDialog>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QSvgRenderer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

namespace {

constexpr char kSizeKey[] = "help/size";
constexpr char kSplitterKey[] = "help/splitter";

} // namespace

THelpBrowser::THelpBrowser(QWidget* parent) : QTextBrowser(parent) {
    setObjectName(QStringLiteral("HelpBrowser"));
    setOpenExternalLinks(false);
    setAccessibleName(tr("Help page"));
}

QVariant THelpBrowser::loadResource(int type, const QUrl& name) {
    // The palette pictures are SVG: drawn here at the size the page asks for (or their own),
    // sharp on a high-density screen too.
    if (type == QTextDocument::ImageResource && name.path().endsWith(QLatin1String(".svg"))) {
        QSvgRenderer renderer(QLatin1Char(':') + name.path());
        if (!renderer.isValid())
            return {};
        const qreal ratio = devicePixelRatioF();
        QImage image(renderer.defaultSize() * 2 * ratio, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        image.setDevicePixelRatio(2 * ratio);
        return image;
    }
    return QTextBrowser::loadResource(type, name);
}

void THelpBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType type) {
    if (name.scheme() == QLatin1String(help::kExampleScheme)) {
        emit exampleLinkClicked(name.path());
        return;
    }
    QTextBrowser::doSetSource(name, type);
}

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Tool) {
    help::initResources();
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(tr("ZOLVANE FlowChart Guide"));

    auto makeButton = [this](const char* name, QStyle::StandardPixmap icon, const QString& text,
                             const QString& tip) {
        auto* button = new QToolButton(this);
        button->setObjectName(QLatin1String(name));
        button->setIcon(style()->standardIcon(icon));
        button->setText(text);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setToolTip(tip);
        button->setAccessibleName(text);
        return button;
    };
    m_back = makeButton("HelpBack", QStyle::SP_ArrowBack, tr("Back"),
                        tr("The page shown before (Alt+Left)"));
    m_forward = makeButton("HelpForward", QStyle::SP_ArrowForward, tr("Forward"),
                           tr("The page shown after (Alt+Right)"));
    m_home = makeButton("HelpHome", QStyle::SP_DirHomeIcon, tr("Contents"),
                        tr("The contents of the guide"));
    m_back->setShortcut(QKeySequence::Back);
    m_forward->setShortcut(QKeySequence::Forward);

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("HelpSearch"));
    m_search->setPlaceholderText(tr("Search the guide"));
    m_search->setClearButtonEnabled(true);
    m_search->setAccessibleName(tr("Search the guide"));
    m_pages = new QListWidget(this);
    m_pages->setObjectName(QStringLiteral("HelpPages"));
    m_pages->setAccessibleName(tr("Pages of the guide"));
    for (const help::TPageText& page : help::guidePages()) {
        auto* item = new QListWidgetItem(page.title, m_pages);
        item->setData(Qt::UserRole, page.page);
        item->setData(Qt::UserRole + 1, page.text);
    }

    m_browser = new THelpBrowser(this);
    m_browser->setSearchPaths({QStringLiteral(":/help")});

    auto* side = new QWidget(this);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(m_search);
    sideLayout->addWidget(m_pages);
    m_splitter = new QSplitter(this);
    m_splitter->setObjectName(QStringLiteral("HelpSplitter"));
    m_splitter->addWidget(side);
    m_splitter->addWidget(m_browser);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({250, 530});

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addWidget(m_home);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_splitter, 1);

    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_home, &QToolButton::clicked, this,
            [this] { m_browser->setSource(help::pageUrl(help::kHomePage)); });
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &THelpWindow::BrowserSourceChange);
    connect(m_browser, &THelpBrowser::exampleLinkClicked, this, &THelpWindow::exampleRequested);
    connect(m_search, &QLineEdit::textChanged, this, &THelpWindow::SearchChange);
    connect(m_pages, &QListWidget::itemClicked, this, &THelpWindow::PageListClick);
    connect(m_pages, &QListWidget::itemActivated, this, &THelpWindow::PageListClick);
    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);

    QSettings settings;
    resize(settings.value(kSizeKey, QSize(780, 560)).toSize());
    m_splitter->restoreState(settings.value(kSplitterKey).toByteArray());
}

void THelpWindow::showPage(const QString& page) {
    if (!page.isEmpty())
        m_browser->setSource(help::pageUrl(page));
    else if (m_browser->source().isEmpty())
        m_browser->setSource(help::pageUrl(help::kHomePage));
    m_wanted = true;
    if (!m_placed && parentWidget()) {
        // The first time beside the middle of the window it helps with, not in a corner.
        const QRect owner = parentWidget()->window()->frameGeometry();
        move(owner.center() - QPoint(width() / 2 - 120, height() / 2 - 40));
        m_placed = true;
    }
    show();
    raise();
    activateWindow();
}

void THelpWindow::stayWith(QWidget* owner) {
    if (!owner || parentWidget() == owner)
        return;
    // A window whose owner closes is hidden with it: it comes back when the pupil still wants it.
    const bool wasVisible = isVisible() || m_wanted;
    const QRect place = geometry();
    setParent(owner, windowFlags());
    setGeometry(place);
    // Back from a dialog it was narrowed for: the size the pupil gave it.
    if (m_fullSize.isValid() && !qobject_cast<QDialog*>(owner)) {
        resize(m_fullSize);
        m_splitter->restoreState(m_fullSplitter);
        m_fullSize = QSize();
    }
    if (wasVisible)
        show();
}

void THelpWindow::keepClearOf(const QWidget* other) {
    const QRect covered = other->frameGeometry();
    QRect place = frameGeometry();
    if (!place.intersects(covered))
        return;
    const QScreen* screen = other->screen();
    if (!screen)
        return;
    const QRect room = screen->availableGeometry();
    constexpr int gap = 8;
    if (covered.right() + gap + place.width() <= room.right())
        place.moveLeft(covered.right() + gap);
    else if (covered.left() - gap - place.width() >= room.left())
        place.moveRight(covered.left() - gap);
    else {
        // Too narrow for it on either side: narrower for the dialog's time, on the side with
        // more room, when that leaves a page to read.
        const int right = room.right() - covered.right() - gap;
        const int left = covered.left() - room.left() - gap;
        constexpr int narrowest = 420;
        if (std::max(left, right) < narrowest)
            return;
        if (!m_fullSize.isValid()) {
            m_fullSize = size();
            m_fullSplitter = m_splitter->saveState();
        }
        resize(std::max(left, right) - (frameGeometry().width() - width()), height());
        // The page keeps most of what is left.
        m_splitter->setSizes({m_splitter->width() / 3, m_splitter->width() * 2 / 3});
        place = frameGeometry();
        if (right >= left)
            place.moveLeft(covered.right() + gap);
        else
            place.moveRight(covered.left() - gap);
    }
    move(place.topLeft());
    m_placed = true;
}

QUrl THelpWindow::currentPage() const {
    return m_browser->source();
}

void THelpWindow::hideEvent(QHideEvent* event) {
    // A window moving to a dialog hides for a moment with its size unchanged; storing it then
    // does no harm.
    QSettings settings;
    settings.setValue(kSizeKey, m_fullSize.isValid() ? m_fullSize : size());
    settings.setValue(kSplitterKey,
                      m_fullSize.isValid() ? m_fullSplitter : m_splitter->saveState());
    QWidget::hideEvent(event);
}

void THelpWindow::closeEvent(QCloseEvent* event) {
    m_wanted = false;
    QWidget::closeEvent(event);
}

void THelpWindow::SearchChange(const QString& text) {
    QList<help::TPageText> pages;
    for (int i = 0; i < m_pages->count(); ++i) {
        const QListWidgetItem* item = m_pages->item(i);
        pages.append({item->data(Qt::UserRole).toString(), item->text(),
                      item->data(Qt::UserRole + 1).toString()});
    }
    const QStringList found = help::findPages(pages, text);
    for (int i = 0; i < m_pages->count(); ++i) {
        QListWidgetItem* item = m_pages->item(i);
        item->setHidden(!found.contains(item->data(Qt::UserRole).toString()));
        // The best match is marked, so that Enter in the list opens it.
        if (!found.isEmpty() && item->data(Qt::UserRole).toString() == found.front()) {
            const QSignalBlocker quiet(m_pages);
            m_pages->setCurrentItem(item);
        }
    }
}

void THelpWindow::PageListClick() {
    if (const QListWidgetItem* item = m_pages->currentItem())
        m_browser->setSource(help::pageUrl(item->data(Qt::UserRole).toString()));
}

void THelpWindow::BrowserSourceChange(const QUrl& url) {
    const QString page = url.fileName();
    for (int i = 0; i < m_pages->count(); ++i) {
        QListWidgetItem* item = m_pages->item(i);
        if (item->data(Qt::UserRole).toString() == page) {
            const QSignalBlocker quiet(m_pages);
            m_pages->setCurrentItem(item);
            break;
        }
    }
    //: The page's title, then the guide's name.
    setWindowTitle(tr("%1 - ZOLVANE FlowChart Guide").arg(m_browser->documentTitle()));
}
