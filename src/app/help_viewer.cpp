#include "app/help_viewer.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QImage>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStringConverter>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include "core/error.h"

namespace ttp::app {

namespace {

constexpr auto kScheme = "chm";
constexpr int kPageRole = Qt::UserRole;

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

// What the browser shows in place of a page it cannot show.
QString problemPage(const QString& heading, const QString& text) {
    return QStringLiteral("<html><body><h2>%1</h2><p>%2</p></body></html>")
        .arg(escaped(heading), escaped(text));
}

void addEntries(QTreeWidget* tree, QTreeWidgetItem* parent,
                const std::vector<ContentsEntry>& entries) {
    for (const auto& entry : entries) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
        item->setText(0, fromUtf8(entry.name));
        if (const auto inner = resolveHelpLink("/", entry.local)) {
            const auto hash = entry.local.find('#');
            item->setData(
                0, kPageRole,
                helpPageUrl(hash == std::string::npos ? *inner
                                                      : *inner + entry.local.substr(hash)));
        }
        addEntries(tree, item, entry.children);
    }
}

// A tree of lines, each leading to its page.
QTreeWidget* pageTree(const std::vector<ContentsEntry>& entries) {
    auto* tree = new QTreeWidget;
    tree->setHeaderHidden(true);
    addEntries(tree, nullptr, entries);
    tree->expandAll();
    return tree;
}

bool leavesTheHelp(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return scheme == "http" || scheme == "https" || scheme == "mailto" || scheme == "ftp";
}

}  // namespace

QUrl helpPageUrl(std::string_view inner) {
    const std::string_view path = inner.substr(0, inner.find('#'));
    QUrl url;
    url.setScheme(kScheme);
    url.setPath(QString::fromUtf8(path.data(), qsizetype(path.size())), QUrl::DecodedMode);
    if (const auto hash = inner.find('#'); hash != std::string_view::npos) {
        const std::string_view place = inner.substr(hash + 1);
        url.setFragment(QString::fromUtf8(place.data(), qsizetype(place.size())),
                        QUrl::DecodedMode);
    }
    return url;
}

ChmBrowser::ChmBrowser(std::shared_ptr<const ChmFile> help, QWidget* parent)
    : QTextBrowser(parent), help_(std::move(help)) {
    setOpenLinks(true);
    setOpenExternalLinks(false);  // web links are handed on in doSetSource
}

QString ChmBrowser::pageText(const std::string& bytes) const {
    // Pages say how they are written; help files without a word about it are in the Windows
    // code page of their author, which toUtf8 takes as Windows-1252 unless the text is UTF-8.
    const auto declared =
        QStringConverter::encodingForHtml(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (declared && *declared != QStringConverter::Utf8 && *declared != QStringConverter::Latin1) {
        QStringDecoder decode(*declared);
        return decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    }
    return fromUtf8(toUtf8(bytes));
}

QVariant ChmBrowser::loadResource(int type, const QUrl& name) {
    // Pictures and style sheets are named relative to the page that uses them.
    QUrl url = name;
    if (url.isRelative()) {
        const QUrl base = source().isValid() ? source() : helpPageUrl("/");
        url = base.resolved(name);
    }
    std::optional<std::string> inner;
    if (url.scheme() == kScheme) {
        inner = resolveHelpLink("/", url.path(QUrl::FullyDecoded).toStdString());
    } else {
        inner = resolveHelpLink(source().path(QUrl::FullyDecoded).toStdString(),
                                url.toString().toStdString());
    }

    std::optional<std::string> bytes;
    QString failure;
    try {
        if (inner) bytes = help_->read(*inner);
    } catch (const Error& e) {
        failure = QString::fromUtf8(e.what());
    }

    if (type == QTextDocument::HtmlResource) {
        if (bytes) return pageText(*bytes);
        if (failure.isEmpty()) {
            failure =
                QStringLiteral("El archivo de ayuda no tiene la página \"%1\".").arg(url.path());
        }
        return problemPage(QStringLiteral("Página no disponible"), failure);
    }
    if (!bytes) return {};
    if (type == QTextDocument::StyleSheetResource) return pageText(*bytes);
    if (type == QTextDocument::ImageResource) {
        QImage image;
        if (image.loadFromData(reinterpret_cast<const uchar*>(bytes->data()), int(bytes->size())))
            return image;
        return {};
    }
    return QByteArray(bytes->data(), qsizetype(bytes->size()));
}

void ChmBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType type) {
    if (leavesTheHelp(name)) {
        QDesktopServices::openUrl(name);
        return;
    }
    if (name.scheme() == kScheme) {
        QTextBrowser::doSetSource(name, type);
        return;
    }
    if (name.isRelative()) {
        // Kept absolute, so that the pages it links to resolve against it.
        const QUrl base = source().isValid() ? source() : helpPageUrl("/");
        QTextBrowser::doSetSource(base.resolved(name), type);
        return;
    }
    // A link written for the Windows viewer ("ms-its:PEDANOR.chm::/tema.htm").
    const std::string link = name.toString().toStdString();
    const auto inner = resolveHelpLink(source().path(QUrl::FullyDecoded).toStdString(), link);
    if (!inner) return;
    QUrl page = helpPageUrl(*inner);
    if (name.hasFragment()) page.setFragment(name.fragment());
    QTextBrowser::doSetSource(page, type);
}

HelpViewer::HelpViewer(std::shared_ptr<const ChmFile> help, QWidget* parent)
    : QWidget(parent, Qt::Window), help_(std::move(help)) {
    setWindowTitle(help_->title().empty() ? QStringLiteral("Ayuda de TransTavolexPedanor")
                                          : fromUtf8(help_->title()));

    tree_ = pageTree(help_->contents());
    index_ = pageTree(help_->index());
    index_->sortItems(0, Qt::AscendingOrder);
    browser_ = new ChmBrowser(help_);

    auto* back = new QToolButton;
    back->setText(QStringLiteral("Atrás"));
    back->setEnabled(false);
    auto* forward = new QToolButton;
    forward->setText(QStringLiteral("Adelante"));
    forward->setEnabled(false);
    auto* home = new QToolButton;
    home->setText(QStringLiteral("Inicio"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addWidget(home);
    buttons->addStretch();

    auto* tabs = new QTabWidget;
    tabs->addTab(tree_, QStringLiteral("Contenido"));
    if (index_->topLevelItemCount() > 0) tabs->addTab(index_, QStringLiteral("Índice"));

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(tabs);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({290, 530});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);
    resize(820, 580);

    connect(back, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QToolButton::setEnabled);
    connect(home, &QToolButton::clicked, this, [this] { showPage(help_->defaultTopic()); });
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpViewer::markInContents);
    for (QTreeWidget* tree : {tree_, index_}) {
        connect(tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
            if (!item) return;
            const QUrl page = item->data(0, kPageRole).toUrl();
            if (page.isValid() && page != browser_->source()) browser_->setSource(page);
        });
    }
}

void HelpViewer::showPage(std::string_view inner) {
    browser_->setSource(helpPageUrl(inner));
    show();
    raise();
    activateWindow();
}

void HelpViewer::markInContents(const QUrl& page) {
    // The line for exactly this place, else the first line for its page.
    QTreeWidgetItem* match = nullptr;
    for (QTreeWidgetItemIterator it(tree_); *it; ++it) {
        const QUrl line = (*it)->data(0, kPageRole).toUrl();
        if (line == page) {
            match = *it;
            break;
        }
        if (!match && line.isValid() &&
            line.adjusted(QUrl::RemoveFragment) == page.adjusted(QUrl::RemoveFragment)) {
            match = *it;
        }
    }
    const QSignalBlocker quiet(tree_);
    tree_->setCurrentItem(match);
}

}  // namespace ttp::app
