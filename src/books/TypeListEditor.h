#pragma once
// The twin editors of the short type lists (payment types, expense types):
// one editable row per type, whose text is its key, saved as soon as an edit
// of it ends. Each twin names its window, texts and table; the rest is here.
#include <QString>
#include "books/ListGridTemplate.h"
#include "controls/Buttons.h"
#include "controls/FlexGrid.h"
#include "forms/Form.h"

namespace books {

class TypeListEditor : public forms::Form {
    Q_OBJECT
public:
    struct Texts {
        QString formName;        // "PaymentCategories": window name in error labels
        QString caption;         // "Edit / Add Payment Categories"
        QString header;          // "^|Payment Type"
        QString deletePrompt;    // "Delete payment type... " (the type and "?" follow)
        QString deleteTitle;     // "Delete Payment Type"
        QString user;            // "payment received": what uses a type, one ...
        QString users;           // "payments received": ... and more
        QString setNewRowStatusName = QStringLiteral("SetNewRowStatus");
        QString afterRowEditName = QStringLiteral("AfterRowEdit");
    };

    ~TypeListEditor() override;

    // ---- Controls ----
    controls::FlexGrid PaymentList{this};
    controls::CommandButton btnNew{this};
    controls::CommandButton btnDelete{this};
    controls::CommandButton btnExit{this};

    // ---- Form state ----
    int OldRow = 0;         // the row being left (the row a save writes)
    int NewRow = 0;         // the row entered
    QString DeleteType;     // the type of the row last clicked
    bool RecordsRenamed = false;   // a stored type was renamed, and the records using it with it

    // ---- Handlers and procedures ----
    void Form_Load() override;
    void Form_QueryUnload(bool& Cancel, int UnloadMode) override;
    void btnNew_Click();
    void btnDelete_Click();
    void btnExit_Click();
    void PaymentList_GotFocus();
    void PaymentList_LeaveCell();
    void PaymentList_RowColChange();
    void PaymentList_LostFocus();
    void PaymentList_AfterEdit(int Row, int Col);
    void PaymentList_Click();
    void SetOldRowStatus();
    void SaveRow();

    books::ListGridTemplate& list() { return list_; }

protected:
    TypeListEditor(Texts texts, TypeTable table);
    QString label(const char* proc) const;
    QString DeleteQuestion(const QString& type);

    books::ListGridTemplate list_;

private:
    Texts texts_;
    TypeTable table_;
};

} // namespace books
