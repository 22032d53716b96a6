#pragma once
// The pictures of the program's commands. Each command has one picture,
// used by every button that gives it, and no two commands share one: a
// freedesktop icon name, found in the desktop's icon theme or else in
// Breeze (Debian's breeze-icon-theme), with one of the style's standard
// icons only when neither theme has it.
#include <QIcon>
#include <QStyle>

namespace controls {

struct Picture {
    const char* command;   // what the button does, for tests and reports
    const char* themeName; // freedesktop icon name
    QStyle::StandardPixmap fallback;
};

// The picture as an icon; style gives the fallback (the application's
// style when null).
QIcon PictureIcon(const Picture& picture, const QStyle* style = nullptr);

namespace pictures {
// Commands that open another window or start a new record there.
inline constexpr Picture RefreshClients{"Refresh the client list", "view-refresh", QStyle::SP_BrowserReload};
inline constexpr Picture NewClient{"Enter a new client", "list-add-user", QStyle::SP_FileDialogNewFolder};
inline constexpr Picture ClientProfile{"Open the client's profile", "user-properties", QStyle::SP_FileDialogInfoView};
inline constexpr Picture ClientInvoices{"List the client's sales invoices", "document-multiple", QStyle::SP_FileDialogListView};
inline constexpr Picture NewInvoice{"Enter a new sales invoice", "document-new", QStyle::SP_FileIcon};
inline constexpr Picture InvoiceDetails{"Open the selected sales invoice", "document-preview", QStyle::SP_FileDialogContentsView};
inline constexpr Picture ClientPayments{"Client payments received", "wallet-open", QStyle::SP_DialogApplyButton};
inline constexpr Picture Register{"Payment and deposit register", "view-bank", QStyle::SP_ComputerIcon};
inline constexpr Picture Inventory{"Inventory", "package", QStyle::SP_DirIcon};
inline constexpr Picture Vendors{"Vendor profiles", "view-pim-contacts", QStyle::SP_DirHomeIcon};
// Commands on the window's own record or list.
inline constexpr Picture Add{"Add a new entry to this window's list", "list-add", QStyle::SP_FileDialogStart};
inline constexpr Picture Save{"Save", "document-save", QStyle::SP_DialogSaveButton};
inline constexpr Picture Delete{"Delete the selected entry", "edit-delete", QStyle::SP_TrashIcon};
inline constexpr Picture Print{"Print", "document-print", QStyle::SP_FileDialogDetailedView};
inline constexpr Picture SavePdf{"Save as PDF", "document-export", QStyle::SP_DriveFDIcon};
inline constexpr Picture PreviousPage{"Previous page", "go-previous", QStyle::SP_ArrowLeft};
inline constexpr Picture NextPage{"Next page", "go-next", QStyle::SP_ArrowRight};
inline constexpr Picture Close{"Close this window", "window-close", QStyle::SP_DialogCloseButton};
inline constexpr Picture Exit{"Exit the program", "application-exit", QStyle::SP_DialogCancelButton};

inline constexpr const Picture* All[] = {
    &RefreshClients, &NewClient, &ClientProfile, &ClientInvoices, &NewInvoice, &InvoiceDetails, &ClientPayments,
    &Register, &Inventory, &Vendors, &Add, &Save, &Delete, &Print, &SavePdf, &PreviousPage, &NextPage, &Close, &Exit,
};
} // namespace pictures

} // namespace controls
