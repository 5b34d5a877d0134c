#pragma once
// The turnover between two days as a chart: a bar of gross turnover for
// each day, week or month, with the number of sales, to read bar by bar
// from the keyboard, to export as a picture or a PDF, and to print. Unlike
// the other report forms it keeps its window: the operator changes the
// days or the grouping and draws again.

#include "reports/ReportForm.h"
#include "reports/TurnoverChart.h"

#include <optional>

namespace Ui {
class Frm_QueryTurnoverChart;
}

class Frm_QueryTurnoverChart : public kestrel::reports::ReportForm {
    Q_OBJECT
public:
    explicit Frm_QueryTurnoverChart(QWidget *parent = nullptr);
    ~Frm_QueryTurnoverChart() override;

    void Form_Load() override;
    void cmd_Show_Click();
    void cmd_Export_Click();
    void cmd_Print_Click();
    void cmd_Close_Click();

    // What the chart shows; nothing until it has been drawn.
    const std::optional<kestrel::reports::TurnoverPicture> &picture() const { return m_picture; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void draw(kestrel::reports::TurnoverPicture picture);
    // Marks the bar at index and shows its figures; -1 for none.
    void chooseBar(int index);
    // Outlines the chart while it has the keys.
    void showChartFocus(bool focused);

    Ui::Frm_QueryTurnoverChart *ui;
    std::optional<kestrel::reports::TurnoverPicture> m_picture;
    int m_chosenBar = -1;
};
