// At the till: bar codes scanned into the sale form from the keyboard, as a
// scanner types them, and the customer's receipt printed to a PDF whose text
// is read back against the saved rows.

#include "core/shared/ShopDetails.h"
#include "entry/Frm_AddTransaction.h"
#include "entry/Frm_ProdQuant.h"
#include "reports/Frm_QueryResults.h"
#include "support/TestSupport.h"
#include "widgets/FlexGrid.h"
#include "widgets/ReceiptPrint.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTimer>

using namespace kestrel;
using namespace kestrel::test;

namespace {

// The shop's settings in a folder of the test's own, made before Qt starts.
struct ScratchConfig {
    QTemporaryDir dir;
    ScratchConfig() { qputenv("XDG_CONFIG_HOME", dir.path().toUtf8()); }
};
const ScratchConfig config;

// Customer 1 Anna Kovacs; products 1 Milk (5991, 12 in store, 1,50), 2 Bread
// (5992, 2, 2,05), 3 Sugar and 4 Salt sharing 777.
void seed()
{
    exec("INSERT INTO customers VALUES (NULL,'Anna','Kovacs','Main Street 1','BUD','1','a@b.c',"
         "'1','2008-03-05','Main Street 1')");
    exec("INSERT INTO products VALUES (NULL,'Milk','Pcs',12,1.50,'5991','2008-03-05'),"
         "(NULL,'Bread','Pcs',2,2.05,'5992','2008-03-05'),(NULL,'Sugar','Boxes',5,0.25,'777',"
         "'2008-03-05'),(NULL,'Salt','Pcs',9,0.80,'777','2008-03-05')");
}

QString run(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        qFatal("%s failed (poppler-utils is installed by scripts/test)", qPrintable(tool));
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The PDF's text with every run of blanks and line ends made one blank.
QString pdfText(const QString &path)
{
    return run("pdftotext", {"-layout", path, "-"}).simplified();
}

// What a receipt must say of the rows from first to last, as the server
// itself writes the figures: "Milk 2 Pcs x 1,50 3,00 ... Gross total 4,29".
QString expectedText(int first, int last, bool narrow)
{
    const QString range = QStringLiteral(" FROM turnover t JOIN products p ON p.ID = t.ProductID "
                                         "WHERE t.ID BETWEEN %1 AND %2")
                              .arg(first)
                              .arg(last);
    const QString price = "CAST(t.Price AS DECIMAL(20,2))",
                  withTax = "CAST(t.PricewTax AS DECIMAL(20,2))";
    const QString lines = *scalar(
        "SELECT GROUP_CONCAT(CONCAT_WS(' ',p.Description,t.Quantity,p.UM,"
        + QString(narrow ? "'x'," : "") + "REPLACE(" + price + ",'.',','),REPLACE(CAST(t.Quantity*"
        + price + " AS DECIMAL(20,2)),'.',',')) ORDER BY t.ID SEPARATOR ' ')" + range);
    const QString totals = *scalar("SELECT REPLACE(CONCAT('Net total ',CAST(SUM(t.Quantity*" + price
                                   + ") AS DECIMAL(20,2)),' Tax (18 %) ',CAST(SUM(t.Quantity*"
                                   + withTax + ")-SUM(t.Quantity*" + price
                                   + ") AS DECIMAL(20,2)),' Gross total ',CAST(SUM(t.Quantity*"
                                   + withTax + ") AS DECIMAL(20,2))),'.',',')" + range);
    return lines + " " + totals;
}

// Answers the print dialog once it is up: Print to File, at path.
class PrintToPdf {
public:
    explicit PrintToPdf(const QString &path)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, path] {
            auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
            if (!dialog || dialog != QApplication::activeWindow())
                return;
            m_timer.stop();
            shown = true;
            auto *printers = control<QComboBox>(dialog, "printers");
            printers->setFocus();
            QTest::keyClick(printers, Qt::Key_End); // "Print to File (PDF)" comes last
            auto *file = control<QLineEdit>(dialog, "filename");
            file->selectAll();
            QTest::keyClicks(file, path);
            QTest::keyClick(file, Qt::Key_Return);
        });
        m_timer.start(20);
    }
    bool shown = false;

private:
    QTimer m_timer;
};

} // namespace

class TestTill : public QObject {
    Q_OBJECT
    std::unique_ptr<RunningMainWindow> till;

    Frm_AddTransaction *form() { return till->main->findForm<Frm_AddTransaction>(); }
    QLineEdit *box() { return control<QLineEdit>(form(), "txt_BarCode"); }
    QString lines()
    {
        const FlexGrid *grid = control<FlexGrid>(form(), "fxg_Products");
        return column(grid, 1) + " / " + column(grid, 2);
    }

    // The scanner: the code and Enter into the box, where the keys are.
    void scan(const QString &code)
    {
        QCOMPARE(focusName(), QStringLiteral("txt_BarCode"));
        keys(code + "\n");
    }
    // A scan of a product not yet in the sale: Enter takes the prompt's 1.
    void scanNew(const QString &code)
    {
        KESTREL_CHECK(scan(code));
        QCOMPARE(focusName(), QStringLiteral("cmd_OK"));
        QVERIFY(till->main->findForm<Frm_ProdQuant>());
        press(Qt::Key_Return);
        QVERIFY(!till->main->findForm<Frm_ProdQuant>());
    }

private slots:
    void initTestCase()
    {
        till = std::make_unique<RunningMainWindow>();
        QVERIFY(till->show());
        till->reset();
        trigger(till->main.get(), "mnu_AddCity"); // another window behind the sale
    }
    void init()
    {
        till->reset();
        seed();
    }

    void scansSellAtTheTill()
    {
        trigger(till->main.get(), "mnu_AddTransaction");
        control(form(), "cmd_AddCustomer")->setFocus();
        keys(" ");
        KESTREL_CHECK(pickRow(1));
        press(Qt::Key_Tab); // the box comes next after the customer's Add
        KESTREL_CHECK(scanNew("5991"));
        KESTREL_CHECK(scan("5991")); // again: the same line, one more
        QCOMPARE(lines(), QStringLiteral("Milk / 2"));
        KESTREL_CHECK(scanNew("5992"));
        KESTREL_CHECK(scan("5992"));
        KESTREL_CHECK(scan("5992")); // a third Bread is more than the store holds
        QCOMPARE(till->messages->texts(), QStringList{Frm_ProdQuant::NotEnoughText});
        KESTREL_CHECK(scan("12345"));
        QCOMPARE(till->messages->texts().last(), "No product has the bar code 12345!!!");
        QCOMPARE(box()->selectedText(), QStringLiteral("12345"));
        QCOMPARE(lines(), QStringLiteral("Milk|Bread / 2|2"));
        KESTREL_CHECK(scan("777")); // shared: the chooser shows just the two
        auto *chooser = till->main->findForm<Frm_QueryResults>();
        QVERIFY(chooser);
        QCOMPARE(chooser->loadedRows(), 2);
        KESTREL_CHECK(pickRow(2));
        QCOMPARE(focusName(), QStringLiteral("cmd_OK"));
        press(Qt::Key_Return);
        QCOMPARE(box()->text(), QString()); // ready for the next scan
        QCOMPARE(lines(), QStringLiteral("Milk|Bread|Salt / 2|2|1"));

        // Alt+B brings the keys back to the box from anywhere in the sale.
        tabTo("cmd_Next");
        press(Qt::Key_R, Qt::ControlModifier); // nothing saved yet: no receipt
        press(Qt::Key_Space);
        QCOMPARE(scalar("SELECT GROUP_CONCAT(CONCAT(ProductID,':',Quantity) ORDER BY ID)"
                        " FROM turnover"),
                 "1:2,2:2,4:1");
        QCOMPARE(scalar("SELECT GROUP_CONCAT(Quantity ORDER BY ID) FROM products"), "10,0,5,8");
        press(Qt::Key_B, Qt::AltModifier);
        QCOMPARE(focusName(), QStringLiteral("txt_BarCode"));

        // The shop's head of the receipt, typed into Setup > Shop Details.
        trigger(till->main.get(), "mnu_ShopDetails");
        QCOMPARE(focusName(), QStringLiteral("txt_ShopName"));
        keys("Corner Shop\tMain Street 9\nBudapest\t ");
        QCOMPARE(ShopDetails::load().address, QStringLiteral("Main Street 9\nBudapest"));
        QCOMPARE(focusName(), QStringLiteral("txt_BarCode"));

        // The saved sale's receipt, from Ctrl+R in the cleared form.
        const QString pdf = till->dir.file("receipt.pdf");
        PrintToPdf hands(pdf);
        press(Qt::Key_R, Qt::ControlModifier);
        QVERIFY(hands.shown);
        const QString info = run("pdfinfo", {pdf});
        QVERIFY2(info.contains(QRegularExpression("Page size: +227 x")), qPrintable(info));
        const QString text = pdfText(pdf);
        QVERIFY2(text.startsWith("Corner Shop Main Street 9 Budapest Sale IDs: 1 to 3 Date: "),
                 qPrintable(text));
        QVERIFY2(text.contains("Customer: Anna Kovacs (ID 1) " + expectedText(1, 3, true)),
                 qPrintable(text));
    }

    // Random sales, each on the roll and on A4: the receipt's text is the
    // saved rows and the server's sums of them.
    void receiptsSayWhatTheRowsHold()
    {
        QRandomGenerator random(11);
        exec("INSERT INTO turnover (ProductID,Quantity,Price,PricewTax,Date,CustomerID) SELECT "
             "1+seq%4,1+seq%7,seq*37%100000/100,ROUND(seq*37%100000*1.18)/100,'2008-03-05',"
             "1+seq DIV 3%2 FROM seq_1_to_60"); // sales of three rows, one of two
        exec("INSERT INTO customers VALUES (NULL,'Bob','Smith','Harbour Road','LON','2','b@b.c',"
             "'2','2008-03-05','Depot 4')");

        // From the edit grid's row 5, with the keys: the sale of rows 3 to 5.
        trigger(till->main.get(), "mnu_ETransaction");
        tabTo("cmd_ShowAll");
        press(Qt::Key_Space);
        QCOMPARE(focusName(), QStringLiteral("fxg_QueryResult"));
        for (int i = 1; i < 5; ++i)
            press(Qt::Key_Down);
        const QString pdf = till->dir.file("grid.pdf");
        PrintToPdf hands(pdf);
        press(Qt::Key_R, Qt::ControlModifier);
        QVERIFY(hands.shown);
        QVERIFY2(pdfText(pdf).contains("Sale IDs: 3 to 5 Date: 2008. 03. 05. Customer: Bob Smith "
                                       "(ID 2) "
                                       + expectedText(3, 5, true)),
                 qPrintable(pdfText(pdf)));

        for (int i = 0; i < 4; ++i) {
            const int row = random.bounded(1, 61);
            db::OdbcConnection connection(testConnectionString());
            const std::optional<sql::SaleRows> sale = sql::saleOfRow(connection, row);
            QVERIFY(sale);
            QString problem;
            const std::optional<sql::Receipt> receipt =
                sql::readReceipt(connection, *sale, &problem);
            QVERIFY2(receipt, qPrintable(problem));
            const int first = std::max(1, row / 3 * 3), last = std::min(60, row / 3 * 3 + 2);
            QCOMPARE(receipt->firstId, qint64(first));
            QCOMPARE(receipt->lastId, qint64(last));
            for (const bool narrow : {true, false}) {
                QPrinter printer(QPrinter::HighResolution);
                printer.setOutputFileName(till->dir.file("random.pdf"));
                const QPageSize size =
                    narrow ? receiptRoll(*receipt, {}) : QPageSize(QPageSize::A4);
                printer.setPageLayout(QPageLayout(size, QPageLayout::Portrait, receiptMargins(size),
                                                  QPageLayout::Millimeter));
                paintReceipt(*receipt, {}, printer);
                QVERIFY(QFile::exists(printer.outputFileName()));
                const QString text = pdfText(printer.outputFileName());
                QVERIFY2(text.contains(expectedText(first, last, narrow)), qPrintable(text));
            }
        }
    }
};

QTEST_MAIN(TestTill)
#include "tst_till.moc"
