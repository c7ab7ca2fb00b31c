// How ADO's failures become the one-line reports every provider gives.
// Wine's ADO keeps no Errors collection (its Connection.Errors is not
// implemented), so the collection is played here by a small stand-in with
// the errors that Windows' providers report; ADO's own failures and the
// thread's IErrorInfo are the real ones of the system.
#include <gtest/gtest.h>

#include <vector>

#include "db/LayerErrors.h"
#include "db/ado/AdoErrors.h"

namespace brivano::db::ado {
namespace {

// IUnknown and IDispatch for a stand-in that is only ever called through
// its vtable; it lives on the test's stack.
template <typename Interface>
class StandIn : public Interface {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    ULONG references = 1;  // the test's own
};

struct ReportedError {
    const wchar_t* description;
    const wchar_t* sqlState;
    LONG native;
    LONG number;
};

class StandInError final : public StandIn<AdoError> {
  public:
    explicit StandInError(const ReportedError& error) : error_(error) {}
    HRESULT STDMETHODCALLTYPE get_Number(LONG* number) override {
        *number = error_.number;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Source(BSTR* source) override {
        *source = SysAllocString(L"Microsoft OLE DB Provider for ODBC Drivers");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Description(BSTR* description) override {
        *description = SysAllocString(error_.description);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_HelpFile(BSTR* file) override {
        *file = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_HelpContext(LONG* context) override {
        *context = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_SQLState(BSTR* state) override {
        *state = SysAllocString(error_.sqlState);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_NativeError(LONG* native) override {
        *native = error_.native;
        return S_OK;
    }

  private:
    ReportedError error_;
};

class StandInErrors final : public StandIn<AdoErrors> {
  public:
    explicit StandInErrors(std::vector<StandInError>& errors) : errors_(errors) {}
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
        *count = static_cast<LONG>(errors_.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE _NewEnum(IUnknown**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Refresh() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, AdoError** error) override {
        if (V_VT(&index) != VT_I4 || V_I4(&index) < 0 ||
            V_I4(&index) >= static_cast<LONG>(errors_.size()))
            return E_INVALIDARG;
        StandInError& item = errors_[static_cast<size_t>(V_I4(&index))];
        item.AddRef();
        *error = &item;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clear() override { return S_OK; }

  private:
    std::vector<StandInError>& errors_;
};

// A connection of which only the Errors collection is ever asked for.
#define BRIVANO_NOT_ASKED(...)                       \
    HRESULT STDMETHODCALLTYPE __VA_ARGS__ override { \
        return E_NOTIMPL;                            \
    }
class StandInConnection final : public StandIn<AdoConnection> {
  public:
    explicit StandInConnection(StandInErrors& errors) : errors_(errors) {}
    HRESULT STDMETHODCALLTYPE get_Errors(AdoErrors** errors) override {
        errors_.AddRef();
        *errors = &errors_;
        return S_OK;
    }
    BRIVANO_NOT_ASKED(get_Properties(IDispatch**))
    BRIVANO_NOT_ASKED(get_ConnectionString(BSTR*))
    BRIVANO_NOT_ASKED(put_ConnectionString(BSTR))
    BRIVANO_NOT_ASKED(get_CommandTimeout(LONG*))
    BRIVANO_NOT_ASKED(put_CommandTimeout(LONG))
    BRIVANO_NOT_ASKED(get_ConnectionTimeout(LONG*))
    BRIVANO_NOT_ASKED(put_ConnectionTimeout(LONG))
    BRIVANO_NOT_ASKED(get_Version(BSTR*))
    BRIVANO_NOT_ASKED(Close())
    BRIVANO_NOT_ASKED(Execute(BSTR, VARIANT*, LONG, AdoRecordset**))
    BRIVANO_NOT_ASKED(BeginTrans(LONG*))
    BRIVANO_NOT_ASKED(CommitTrans())
    BRIVANO_NOT_ASKED(RollbackTrans())
    BRIVANO_NOT_ASKED(Open(BSTR, BSTR, BSTR, LONG))
    BRIVANO_NOT_ASKED(get_DefaultDatabase(BSTR*))
    BRIVANO_NOT_ASKED(put_DefaultDatabase(BSTR))
    BRIVANO_NOT_ASKED(get_IsolationLevel(LONG*))
    BRIVANO_NOT_ASKED(put_IsolationLevel(LONG))
    BRIVANO_NOT_ASKED(get_Attributes(LONG*))
    BRIVANO_NOT_ASKED(put_Attributes(LONG))
    BRIVANO_NOT_ASKED(get_CursorLocation(LONG*))
    BRIVANO_NOT_ASKED(put_CursorLocation(LONG))
    BRIVANO_NOT_ASKED(get_Mode(LONG*))
    BRIVANO_NOT_ASKED(put_Mode(LONG))
    BRIVANO_NOT_ASKED(get_Provider(BSTR*))
    BRIVANO_NOT_ASKED(put_Provider(BSTR))
    BRIVANO_NOT_ASKED(get_State(LONG*))
    BRIVANO_NOT_ASKED(OpenSchema(LONG, VARIANT, VARIANT, AdoRecordset**))
    BRIVANO_NOT_ASKED(Cancel())

  private:
    StandInErrors& errors_;
};
#undef BRIVANO_NOT_ASKED

// Leaves `description` as the thread's IErrorInfo, as ADO does for a
// failure of its own.
void leaveErrorInfo(const wchar_t* description) {
    ICreateErrorInfo* create = nullptr;
    ASSERT_EQ(CreateErrorInfo(&create), S_OK);
    create->SetDescription(const_cast<LPOLESTR>(description));
    IErrorInfo* info = nullptr;
    ASSERT_EQ(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)), S_OK);
    SetErrorInfo(0, info);
    info->Release();
    create->Release();
}

constexpr HRESULT kObjectClosed = static_cast<HRESULT>(0x800A0E78);  // ADO's 3704
constexpr HRESULT kErrorsInCommand = static_cast<HRESULT>(0x80040E37);

TEST(AdoErrors, TheProvidersFirstErrorThatIsNoWarningIsTheReport) {
    std::vector<StandInError> reported{
        StandInError({L"[Microsoft][ODBC Driver Manager] Cambiato contesto del database", L"01000",
                      5701, -2147217900}),
        StandInError({L"[Microsoft][ODBC SQL Server Driver][SQL Server]Il nome di oggetto "
                      L"'Nope' non è valido.\r\n  Riga 1",
                      L"42S02", 208, -2147217865}),
        StandInError({L"un secondo errore", L"42000", 1, -2147217900}),
    };
    StandInErrors errors(reported);
    StandInConnection connection(errors);
    const Error error = adoFailure(kErrorsInCommand, &connection, "Recordset.Open");
    EXPECT_EQ(error.number(), 208);
    EXPECT_EQ(error.sqlState(), QStringLiteral("42S02"));
    EXPECT_EQ(error.description(),
              QStringLiteral("[Microsoft][ODBC SQL Server Driver][SQL Server]Il nome di oggetto "
                             "'Nope' non è valido. Riga 1"));
    // Every reference the reading took was given back.
    EXPECT_EQ(errors.references, 1u);
    for (const StandInError& item : reported)
        EXPECT_EQ(item.references, 1u);
}

TEST(AdoErrors, OnlyWarningsStillReportTheFirstAndNoNativeCodeKeepsAdosNumber) {
    std::vector<StandInError> reported{
        StandInError({L"solo un avviso", L"01S02", 0, -2147217887}),
    };
    StandInErrors errors(reported);
    StandInConnection connection(errors);
    const Error error = adoFailure(E_FAIL, &connection, "Connection.Open");
    EXPECT_EQ(error.description(), QStringLiteral("solo un avviso"));
    EXPECT_EQ(error.number(), -2147217887);
}

TEST(AdoErrors, AConnectionFailureIsReportedAsOne) {
    std::vector<StandInError> reported{
        StandInError({L"[DBNETLIB][ConnectionRead (recv()).]Errore generale di rete.", L"08S01", 11,
                      -2147467259}),
    };
    StandInErrors errors(reported);
    StandInConnection connection(errors);
    EXPECT_TRUE(isConnectionFailure(adoFailure(E_FAIL, &connection, "Recordset.MoveNext")));
}

TEST(AdoErrors, AdosOwnFailureHasAdosNumberAndTheDescriptionItLeft) {
    std::vector<StandInError> stale{
        StandInError({L"di un'operazione precedente", L"42S02", 208, 0})};
    StandInErrors errors(stale);
    StandInConnection connection(errors);
    leaveErrorInfo(L"Operazione non consentita se l'oggetto è chiuso.");
    const Error error = adoFailure(kObjectClosed, &connection, "Recordset.EOF");
    EXPECT_EQ(error.number(), 3704);
    EXPECT_EQ(error.description(),
              QStringLiteral("Operazione non consentita se l'oggetto è chiuso."));
    EXPECT_TRUE(error.sqlState().isEmpty());
}

TEST(AdoErrors, AFailureWithoutAWordSaysWhichCallFailedAndItsHresult) {
    SetErrorInfo(0, nullptr);
    const Error own = adoFailure(kObjectClosed, nullptr, "Recordset.EOF");
    EXPECT_EQ(own.number(), 3704);
    EXPECT_TRUE(own.description().startsWith(u"Recordset.EOF non riuscita (HRESULT 0x800A0E78)"))
        << own.description().toStdString();
    const Error provider = adoFailure(E_FAIL, nullptr, "Connection.Open");
    EXPECT_EQ(provider.number(), static_cast<long>(E_FAIL));
    EXPECT_TRUE(
        provider.description().startsWith(u"Connection.Open non riuscita (HRESULT 0x80004005)"))
        << provider.description().toStdString();
    EXPECT_FALSE(provider.description().contains(u'\n'));
}

}  // namespace
}  // namespace brivano::db::ado
