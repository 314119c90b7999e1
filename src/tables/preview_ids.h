// Control identifiers of the two preview windows (window class "BarcodePreview").
#pragma once

enum PreviewWindowId : int {
    kTablePreviewEditId = 300, kTableCopyId = 301, kTableSaveId = 302, kTableCloseId = 303, kTableInfoId = 304,
    kPasswordPreviewEditId = 400, kPasswordCopyId = 401, kPasswordSaveId = 402, kPasswordCloseId = 403,
    kPasswordInfoId = 404,
};
