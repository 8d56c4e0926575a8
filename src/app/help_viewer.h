#pragma once

#include <QTextBrowser>
#include <QWidget>
#include <memory>
#include <string_view>

#include "app/help_chm.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace ttp::app {

// The address of a page inside the help file, as the browser knows it: "chm:/principal.htm",
// with the #place when `inner` has one.
QUrl helpPageUrl(std::string_view inner);

// A text browser whose pages, style sheets and pictures come from a help file. Links between
// pages stay inside the file; links to the web or to mail open in the desktop's programs.
class ChmBrowser : public QTextBrowser {
    Q_OBJECT
  public:
    explicit ChmBrowser(std::shared_ptr<const ChmFile> help, QWidget* parent = nullptr);

    QVariant loadResource(int type, const QUrl& name) override;

  protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;

  private:
    QString pageText(const std::string& bytes) const;

    std::shared_ptr<const ChmFile> help_;
};

// The help window: the table of contents and the keyword index beside the page shown.
class HelpViewer : public QWidget {
    Q_OBJECT
  public:
    explicit HelpViewer(std::shared_ptr<const ChmFile> help, QWidget* parent = nullptr);

    // Shows a page inside the help file ("/principal.htm", "/mensajes.htm#errores").
    void showPage(std::string_view inner);

    const ChmFile& help() const { return *help_; }
    ChmBrowser* browser() const { return browser_; }
    QTreeWidget* contentsTree() const { return tree_; }
    QTreeWidget* indexTree() const { return index_; }

  private:
    void markInContents(const QUrl& page);

    std::shared_ptr<const ChmFile> help_;
    QTreeWidget* tree_;
    QTreeWidget* index_;
    ChmBrowser* browser_;
};

}  // namespace ttp::app
