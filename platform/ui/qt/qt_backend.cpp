#include "platform/ui/qt/qt_backend.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "platform/ui/display_text.h"

namespace ui {

namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

QMessageBox::Icon qt_icon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::none:
            return QMessageBox::NoIcon;
        case MessageIcon::information:
            return QMessageBox::Information;
        case MessageIcon::exclamation:
            return QMessageBox::Warning;
        case MessageIcon::critical:
            return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

// Qt reads the patterns from the parentheses of each name filter.
QStringList name_filters(const std::vector<FileFilter>& filters) {
    QStringList list;
    for (const auto& f : filters) {
        const bool carries_pattern = f.description.find("(" + f.pattern + ")") != std::string::npos;
        list << q(carries_pattern ? f.description : f.description + " (" + f.pattern + ")");
    }
    return list;
}

int application_argc = 1;
char application_name[] = "varnel";
char* application_argv[] = {application_name, nullptr};

}  // namespace

QtBackend::QtBackend() {
    if (!QApplication::instance()) {
        application_ = std::make_unique<QApplication>(application_argc, application_argv);
    }
}

QtBackend::~QtBackend() {
    set_busy_pointer(false);
}

/* ---------------------------------------------------------------- message_box */
void QtBackend::message_box(MessageIcon icon, const std::string& title, const std::string& text) {
    QMessageBox box(qt_icon(icon), q(title), q(with_line_feeds(text)), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

/* ---------------------------------------------------------------- save_file_box */
std::optional<std::string> QtBackend::save_file_box(const FileBoxRequest& request) {
    const auto filters = parse_file_filter(request.filter);
    QFileDialog box(QApplication::activeWindow());
    box.setAcceptMode(QFileDialog::AcceptSave);
    box.setOption(QFileDialog::DontUseNativeDialog);
    box.setOption(QFileDialog::DontConfirmOverwrite, !request.overwrite_prompt);
    box.setNameFilters(name_filters(filters));
    if (!filters.empty() && filters.front().pattern.starts_with("*.")) {
        box.setDefaultSuffix(q(filters.front().pattern.substr(2)));
    }
    const QFileInfo proposed(q(request.file_name));
    if (proposed.dir().exists()) box.setDirectory(proposed.dir());
    box.selectFile(proposed.fileName());
    for (;;) {
        if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) return std::nullopt;
        const QString chosen = box.selectedFiles().constFirst();
        const QDir folder = QFileInfo(chosen).dir();
        if (!request.folder_must_exist || folder.exists()) return chosen.toStdString();
        QMessageBox::warning(&box, box.windowTitle(),
                             folder.path() + QStringLiteral("\nフォルダが見つかりません。"
                                                            "\nフォルダ名を確認して下さい。"));
    }
}

/* ---------------------------------------------------------------- show_modal */
void QtBackend::show_modal(Form& form, FormEvents& events) {
    form.mark_loaded();
    FormWindow window(form, events, QApplication::activeWindow());
    window.setModal(true);
    window.centre_on_screen();
    window.exec();
    form.unload();
}

/* ---------------------------------------------------------------- show */
void QtBackend::show(Form& form, FormEvents& events) {
    form.mark_loaded();
    auto window = std::make_unique<FormWindow>(form, events);
    window->centre_on_screen();
    window->show();
    windows_[&form] = std::move(window);
    QApplication::processEvents();
}

/* ---------------------------------------------------------------- yield */
void QtBackend::yield() {
    for (auto& [form, window] : windows_) window->sync();
    QApplication::processEvents();
}

/* ---------------------------------------------------------------- close */
void QtBackend::close(Form& form) {
    form.unload();
    windows_.erase(&form);
    QApplication::processEvents();
}

/* ---------------------------------------------------------------- set_busy_pointer */
void QtBackend::set_busy_pointer(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

/* ---------------------------------------------------------------- window_of */
FormWindow* QtBackend::window_of(const Form& form) const {
    const auto it = windows_.find(&form);
    return it == windows_.end() ? nullptr : it->second.get();
}

}  // namespace ui
