#include "tests/support/FakeDriver.h"

#include "tests/support/OdbcSandbox.h"

std::string CFakeDriverAdapter::DbmsName() { return "Fake" + std::string(296, 'x'); }

void UseFakeDriver(COdbcSandbox &sandbox, CAdapterList &adapters)
{
    sandbox.AddDriver(QStringLiteral("Fake"), QStringLiteral(VELLUMIX_FAKE_ODBC_DRIVER));
    adapters.Add(std::make_unique<CFakeDriverAdapter>());
}
