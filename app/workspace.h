#pragma once

#include "app/app_state.h"

class QAction;
class QTabWidget;
class QWidget;

namespace durnmoor {

class AddressBookTab;
class DetailsTab;
class HistoryTab;
class ListingTab;
struct KeptFiles;

// The tab indexes of SSTab1.
enum MainTab { tab_listing = 0, tab_address_book = 1, tab_details = 2, tab_history = 3 };

// The working caption of every operation that fills the instrument list.
inline constexpr char listing_caption[] = "Listing...";

// What the routines shared by several tabs work on: the tabs of the main window, the values
// every part shares, and the few things of the main window itself they touch. The main
// window makes one and hands it to every routine.
struct Workspace {
    AppState &state;
    QWidget *window;              // parent of every message, owner of the caption
    QTabWidget *tabs;             // SSTab1
    QAction *account_maintenance; // "Password Account Maintenance"
    ListingTab *listing;
    AddressBookTab *address_book;
    DetailsTab *details;
    HistoryTab *history;
    KeptFiles &kept; // the data files' parsed contents, while the files do not change
};

// Puts the normal caption back and lets the window repaint.
void change_caption(Workspace &w);
// A working caption for a long operation, painted at once.
void show_working_caption(Workspace &w, const char *caption);
void show_tab(Workspace &w, MainTab tab);

} // namespace durnmoor
