#pragma once

#include "db/ado/AdoWindows.h"

// The few ADO interfaces the provider calls, declared here in their
// vtable order (the order of ADO's type library), so that no type library
// has to be registered and no header of the SDK has to be forced through
// the C++ compiler. Slots the provider never calls keep their place with
// their real names. Enumerations travel as LONG, sizes as LONG_PTR (ADO's
// ADO_LONGPTR, 64-bit in a 64-bit process).
namespace brivano::db::ado {

// _ADO: every ADO object's Properties collection.
struct AdoObject : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Properties(IDispatch** properties) = 0;
};

// _Collection: what Errors and Fields share.
struct AdoCollection : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Count(LONG* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE _NewEnum(IUnknown** enumerator) = 0;
    virtual HRESULT STDMETHODCALLTYPE Refresh() = 0;
};

// Error: one error the provider reported for the connection's last call.
struct AdoError : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Number(LONG* number) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Source(BSTR* source) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Description(BSTR* description) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_HelpFile(BSTR* file) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_HelpContext(LONG* context) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_SQLState(BSTR* state) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_NativeError(LONG* native) = 0;
};

// Errors: the connection's error list.
struct AdoErrors : AdoCollection {
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, AdoError** error) = 0;
    virtual HRESULT STDMETHODCALLTYPE Clear() = 0;
};

// Field15: one column of a recordset; its Value follows the current row.
struct AdoField : AdoObject {
    virtual HRESULT STDMETHODCALLTYPE get_ActualSize(LONG_PTR* size) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Attributes(LONG* attributes) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DefinedSize(LONG_PTR* size) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Type(LONG* type) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Value(VARIANT* value) = 0;
};

// Fields15: the columns of a recordset, by position or by name.
struct AdoFields : AdoCollection {
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, AdoField** field) = 0;
};

// Recordset15, up to the members the provider calls.
struct AdoRecordset : AdoObject {
    virtual HRESULT STDMETHODCALLTYPE get_AbsolutePosition(LONG* position) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AbsolutePosition(LONG position) = 0;
    virtual HRESULT STDMETHODCALLTYPE putref_ActiveConnection(IDispatch* connection) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ActiveConnection(VARIANT connection) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ActiveConnection(VARIANT* connection) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BOF(VARIANT_BOOL* atStart) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Bookmark(VARIANT* bookmark) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Bookmark(VARIANT bookmark) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CacheSize(LONG* size) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_CacheSize(LONG size) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CursorType(LONG* type) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_CursorType(LONG type) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_EOF(VARIANT_BOOL* atEnd) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Fields(AdoFields** fields) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_LockType(LONG* type) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_LockType(LONG type) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_MaxRecords(LONG_PTR* records) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_MaxRecords(LONG_PTR records) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RecordCount(LONG_PTR* records) = 0;
    virtual HRESULT STDMETHODCALLTYPE putref_Source(IDispatch* command) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Source(BSTR source) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Source(VARIANT* source) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddNew(VARIANT fields, VARIANT values) = 0;
    virtual HRESULT STDMETHODCALLTYPE CancelUpdate() = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual HRESULT STDMETHODCALLTYPE Delete(LONG affect) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRows(LONG rows, VARIANT start, VARIANT fields,
                                              VARIANT* array) = 0;
    virtual HRESULT STDMETHODCALLTYPE Move(LONG_PTR records, VARIANT start) = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveNext() = 0;
    virtual HRESULT STDMETHODCALLTYPE MovePrevious() = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveFirst() = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveLast() = 0;
    virtual HRESULT STDMETHODCALLTYPE Open(VARIANT source, VARIANT connection, LONG cursorType,
                                           LONG lockType, LONG options) = 0;
    virtual HRESULT STDMETHODCALLTYPE Requery(LONG options) = 0;
    virtual HRESULT STDMETHODCALLTYPE _xResync(LONG affect) = 0;
    virtual HRESULT STDMETHODCALLTYPE Update(VARIANT fields, VARIANT values) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AbsolutePage(LONG* page) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AbsolutePage(LONG page) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_EditMode(LONG* mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Filter(VARIANT* criteria) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Filter(VARIANT criteria) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_PageCount(LONG_PTR* pages) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_PageSize(LONG* size) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_PageSize(LONG size) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Sort(BSTR* criteria) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Sort(BSTR criteria) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Status(LONG* status) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_State(LONG* state) = 0;
};

// Connection15 and _Connection's one member of its own.
struct AdoConnection : AdoObject {
    virtual HRESULT STDMETHODCALLTYPE get_ConnectionString(BSTR* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ConnectionString(BSTR text) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CommandTimeout(LONG* seconds) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_CommandTimeout(LONG seconds) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ConnectionTimeout(LONG* seconds) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ConnectionTimeout(LONG seconds) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Version(BSTR* version) = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual HRESULT STDMETHODCALLTYPE Execute(BSTR command, VARIANT* recordsAffected, LONG options,
                                              AdoRecordset** recordset) = 0;
    virtual HRESULT STDMETHODCALLTYPE BeginTrans(LONG* level) = 0;
    virtual HRESULT STDMETHODCALLTYPE CommitTrans() = 0;
    virtual HRESULT STDMETHODCALLTYPE RollbackTrans() = 0;
    virtual HRESULT STDMETHODCALLTYPE Open(BSTR connectionString, BSTR userId, BSTR password,
                                           LONG options) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Errors(AdoErrors** errors) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DefaultDatabase(BSTR* database) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_DefaultDatabase(BSTR database) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsolationLevel(LONG* level) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_IsolationLevel(LONG level) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Attributes(LONG* attributes) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Attributes(LONG attributes) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CursorLocation(LONG* location) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_CursorLocation(LONG location) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Mode(LONG* mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Mode(LONG mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Provider(BSTR* provider) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Provider(BSTR provider) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_State(LONG* state) = 0;
    virtual HRESULT STDMETHODCALLTYPE OpenSchema(LONG schema, VARIANT restrictions,
                                                 VARIANT schemaId, AdoRecordset** recordset) = 0;
    virtual HRESULT STDMETHODCALLTYPE Cancel() = 0;
};

// _Connection as ADO 2.x knows it: every ADO since answers to it, the
// Windows 7 SP1 one ({00001550-...}) is not known to every ADO.
inline constexpr IID kConnectionInterface = {
    0x00000550, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
inline constexpr wchar_t kConnectionProgId[] = L"ADODB.Connection";
// Recordset15, which every ADO answers to.
inline constexpr IID kRecordsetInterface = {
    0x0000050E, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
inline constexpr wchar_t kRecordsetProgId[] = L"ADODB.Recordset";

// The values of ADO's enumerations that the provider passes.
inline constexpr LONG adOptionUnspecified = -1;
inline constexpr LONG adCmdUnspecified = -1;
inline constexpr LONG adModeUnknown = 0;
inline constexpr LONG adModeRead = 1;
inline constexpr LONG adOpenForwardOnly = 0;
inline constexpr LONG adLockReadOnly = 1;
inline constexpr LONG adStateOpen = 1;
// DB_E_ERRORSOCCURRED: a property the provider was given and could not take.
inline constexpr HRESULT kPropertiesRefused = static_cast<HRESULT>(0x80040E21);

}  // namespace brivano::db::ado
