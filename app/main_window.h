#pragma once

#include "app/app_state.h"
#include "app/workspace.h"

#include <QMainWindow>

#include <memory>

namespace Ui {
class MAIN;
}

namespace durnmoor {

// MAIN: the one main window. It composes the four tabs, keeps the menus, the caption and the
// window states, and wires what one tab does to the routines that act on the others.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(const AppContext &context, QWidget *parent = nullptr);
    ~MainWindow() override;

    AppState &state() { return state_; }
    Workspace &workspace() { return workspace_; }
    const AppContext &context() const { return context_; }

    // The load step of start-up after the splash is up: fill every list and lock the fields.
    void load_form();
    // Start rights from the protection setting, then the final lock.
    void apply_start_rights();

private:
    void connect_menus();
    void connect_tabs();
    void install_context_menu();
    void quit_asked();
    void help_asked();

    std::unique_ptr<Ui::MAIN> ui;
    AppContext context_;
    AppState state_;
    Workspace workspace_;
};

} // namespace durnmoor
