#include <QTest>
class TestRotTextBox : public QObject { Q_OBJECT };
QTEST_MAIN(TestRotTextBox)
#include "tst_rottextbox.moc"
