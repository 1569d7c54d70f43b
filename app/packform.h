#pragma once
// "Package Information": the modules loaded in the process, in load order, with
// what each contains and requires as far as the platform can tell.
#include <QDialog>
#include <string>
#include <vector>

class QTreeWidget;

namespace tcese::app {

struct LoadedModule {
    std::string path;                   // the module's file
    std::vector<std::string> contains;  // units, when the platform knows them
    std::vector<std::string> requires_;  // modules it needs (DT_NEEDED on ELF)
    std::string description;
};

// The program file first, then each shared library, in load order.
std::vector<LoadedModule> loadedModules();

class TFPackage : public QDialog {
    Q_OBJECT
public:
    explicit TFPackage(QWidget* parent = nullptr);
    QTreeWidget* tree() const { return tree_; }

protected:
    void keyPressEvent(QKeyEvent* e) override;  // FormKeyPress: Escape closes

private:
    void FormCreate();
    QTreeWidget* tree_;
};

}  // namespace tcese::app
