#include "app/packform.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <elf.h>
#include <link.h>

#include <filesystem>


namespace tcese::app {

namespace {

struct Collect {
    std::vector<LoadedModule>* out;
};

// The DT_NEEDED names of a loaded object, read from its dynamic section.
std::vector<std::string> neededOf(const dl_phdr_info* info) {
    std::vector<std::string> needed;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& ph = info->dlpi_phdr[i];
        if (ph.p_type != PT_DYNAMIC) continue;
        const auto* dyn = reinterpret_cast<const ElfW(Dyn)*>(info->dlpi_addr + ph.p_vaddr);
        ElfW(Addr) strtab = 0;
        for (const ElfW(Dyn)* d = dyn; d->d_tag != DT_NULL; ++d) {
            if (d->d_tag == DT_STRTAB) strtab = d->d_un.d_ptr;
        }
        if (strtab == 0) break;
        // The loader relocates these addresses in place for most objects, not for the vDSO.
        if (strtab < info->dlpi_addr) strtab += info->dlpi_addr;
        const char* names = reinterpret_cast<const char*>(strtab);
        for (const ElfW(Dyn)* d = dyn; d->d_tag != DT_NULL; ++d) {
            if (d->d_tag == DT_NEEDED) needed.emplace_back(names + d->d_un.d_val);
        }
        break;
    }
    return needed;
}

int onModule(dl_phdr_info* info, size_t, void* data) {
    auto* c = static_cast<Collect*>(data);
    LoadedModule m;
    const bool isProgram = c->out->empty();
    if (info->dlpi_name && *info->dlpi_name) {
        m.path = info->dlpi_name;
    } else if (isProgram) {
        std::error_code ec;
        m.path = std::filesystem::read_symlink("/proc/self/exe", ec).string();
    }
    if (m.path.empty()) return 0;  // an object without a name is nothing the user can look for
    m.requires_ = neededOf(info);
    c->out->push_back(std::move(m));
    return 0;
}

}  // namespace

std::vector<LoadedModule> loadedModules() {
    std::vector<LoadedModule> out;
    Collect c{&out};
    dl_iterate_phdr(onModule, &c);
    return out;
}

TFPackage::TFPackage(QWidget* parent) : QDialog(parent), tree_(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("FPackage"));
    setWindowTitle(QStringLiteral("Package Information"));
    setFixedSize(379, 413);
    tree_->setObjectName(QStringLiteral("TreeView1"));
    tree_->setHeaderHidden(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tree_);
    setAttribute(Qt::WA_DeleteOnClose, false);
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
        move(s->availableGeometry().center() - rect().center());
    }
    FormCreate();
}

void TFPackage::FormCreate() {
    for (const LoadedModule& m : loadedModules()) {
        auto* node = new QTreeWidgetItem(tree_, {QString::fromStdString(m.path).left(200)});
        auto* contains = new QTreeWidgetItem(node, {QStringLiteral("Contains")});
        for (const auto& u : m.contains) new QTreeWidgetItem(contains, {QString::fromStdString(u)});
        auto* requires_ = new QTreeWidgetItem(node, {QStringLiteral("Requires")});
        for (const auto& r : m.requires_) new QTreeWidgetItem(requires_, {QString::fromStdString(r)});
        if (!m.description.empty()) {
            new QTreeWidgetItem(node, {QStringLiteral("Description: ") + QString::fromStdString(m.description)});
        }
    }
}

void TFPackage::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QDialog::keyPressEvent(e);
}

}  // namespace tcese::app
