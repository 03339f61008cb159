#include <QTest>
class TestFrmMain : public QObject { Q_OBJECT };
QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
