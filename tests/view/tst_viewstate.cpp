#include "view/viewstate.h"

#include <QTest>

#include <cmath>
#include <limits>

class TstViewState : public QObject
{
    Q_OBJECT
private slots:
    void wholeSection_data();
    void wholeSection();
    void wholeSectionLeavesScaleAndCentre();
    void damagedCountReadsOnlyTheTable();
    void fit_data();
    void fit();
    void fitOfEmptyAreaIsNotReady();
    void originRoundTrip();
    void pixelCentres_data();
    void pixelCentres();
    void belowZeroRoundsDown_data();
    void belowZeroRoundsDown();
    void kzToGzClamps_data();
    void kzToGzClamps();
    void enlargeThenReduce();
    void invariantAfterZoomSteps_data();
    void invariantAfterZoomSteps();
    void extremeZoomStaysFinite_data();
    void extremeZoomStaysFinite();
    void zoomBeforeFitDoesNothing();
    void kakudai_data();
    void kakudai();
    void kakudaiTooSmallLeavesView_data();
    void kakudaiTooSmallLeavesView();
    void rectZoomNotReady();
    void shukushoTooSmall();
    void shukushoScaleAndPlacement_data();
    void shukushoScaleAndPlacement();
    void scroll_data();
    void scroll();
    void scrollGuard_data();
    void scrollGuard();
    void scrollSteps();
    void repeatedRectZoomsStayFinite_data();
    void repeatedRectZoomsStayFinite();
    void repeatedZoomStepsKeepInvariant_data();
    void repeatedZoomStepsKeepInvariant();
    void wholeSectionOfAbsurdPointsIsUsable_data();
    void wholeSectionOfAbsurdPointsIsUsable();
    void wheelZoomKeepsPointUnderPointer_data();
    void wheelZoomKeepsPointUnderPointer();
    void panFollowsPointer();
    void wholeSectionSkipsNonFinitePoints_data();
    void wholeSectionSkipsNonFinitePoints();
    void scrollBeyondTheDoubleRangeIsRefused_data();
    void scrollBeyondTheDoubleRangeIsRefused();
};

namespace {

constexpr double kEps = 1e-9;

bool near(double a, double b, double eps = kEps)
{
    return std::abs(a - b) <= eps;
}

BlkRec blockOf(const QList<QPointF>& pts)
{
    BlkRec b;
    b.PntCnt = qint16(pts.size());
    for (int i = 0; i < pts.size(); ++i) {
        b.PntX[i + 1] = pts[i].x();
        b.PntY[i + 1] = pts[i].y();
    }
    return b;
}

ViewState area(int w, int h)
{
    ViewState v;
    v.Gz_xmax = qint16(w);
    v.Gz_ymax = qint16(h);
    return v;
}

// A view of the given area showing x from xmin and y up to ymax at scl px/m.
ViewState viewAt(int w, int h, double xmin, double ymax, double scl)
{
    ViewState v = area(w, h);
    v.Dan_scl = scl;
    v.Dan_xmin = xmin;
    v.Dan_xmax = xmin + w / scl;
    v.Dan_ymax = ymax;
    v.Dan_ymin = ymax - h / scl;
    v.Dan_xc = (v.Dan_xmin + v.Dan_xmax) / 2;
    v.Dan_yc = (v.Dan_ymin + v.Dan_ymax) / 2;
    v.Zen_xmin = v.Dan_xmin;
    v.Zen_xmax = v.Dan_xmax;
    v.Zen_ymin = v.Dan_ymin;
    v.Zen_ymax = v.Dan_ymax;
    return v;
}

void checkFills(const ViewState& v)
{
    const double w = v.Gz_xmax - v.Gz_xmin;
    const double h = v.Gz_ymax - v.Gz_ymin;
    QVERIFY2(near((v.Dan_xmax - v.Dan_xmin) * v.Dan_scl, w, 1e-9 * w),
             qPrintable(QString::number((v.Dan_xmax - v.Dan_xmin) * v.Dan_scl, 'g', 17)));
    QVERIFY2(near((v.Dan_ymax - v.Dan_ymin) * v.Dan_scl, h, 1e-9 * h),
             qPrintable(QString::number((v.Dan_ymax - v.Dan_ymin) * v.Dan_scl, 'g', 17)));
}

bool allFinite(const ViewState& v)
{
    for (double d : {v.Dan_xmin, v.Dan_xmax, v.Dan_ymin, v.Dan_ymax, v.Dan_xc, v.Dan_yc, v.Dan_scl})
        if (!std::isfinite(d))
            return false;
    return true;
}

bool sameView(const ViewState& a, const ViewState& b)
{
    return a.Dan_xmin == b.Dan_xmin && a.Dan_xmax == b.Dan_xmax && a.Dan_ymin == b.Dan_ymin &&
           a.Dan_ymax == b.Dan_ymax && a.Dan_xc == b.Dan_xc && a.Dan_yc == b.Dan_yc &&
           a.Dan_scl == b.Dan_scl;
}

bool sameWholeSection(const ViewState& a, const ViewState& b)
{
    return a.Zen_xmin == b.Zen_xmin && a.Zen_xmax == b.Zen_xmax && a.Zen_ymin == b.Zen_ymin &&
           a.Zen_ymax == b.Zen_ymax;
}

// What is wrong with a view that a fit or zoom produced: empty when every
// number is finite, the scale is usable and the visible rectangle fills the
// drawing area to within 1e-9 of its size in both directions.
QString usableViewFault(const ViewState& v)
{
    if (!allFinite(v))
        return QStringLiteral("not finite: x %1..%2, y %3..%4, scale %5")
            .arg(v.Dan_xmin)
            .arg(v.Dan_xmax)
            .arg(v.Dan_ymin)
            .arg(v.Dan_ymax)
            .arg(v.Dan_scl);
    if (!(v.Dan_scl > 0))
        return QStringLiteral("scale %1").arg(v.Dan_scl);
    const double w = v.Gz_xmax - v.Gz_xmin;
    const double h = v.Gz_ymax - v.Gz_ymin;
    const double fillW = (v.Dan_xmax - v.Dan_xmin) * v.Dan_scl;
    const double fillH = (v.Dan_ymax - v.Dan_ymin) * v.Dan_scl;
    if (!(std::abs(fillW - w) <= 1e-9 * w) || !(std::abs(fillH - h) <= 1e-9 * h))
        return QStringLiteral("fills %1 x %2 px of %3 x %4 (x %5..%6, scale %7)")
            .arg(fillW, 0, 'g', 17)
            .arg(fillH, 0, 'g', 17)
            .arg(w)
            .arg(h)
            .arg(v.Dan_xmin, 0, 'g', 17)
            .arg(v.Dan_xmax, 0, 'g', 17)
            .arg(v.Dan_scl, 0, 'g', 17);
    return {};
}

// The view's centre is the middle of its rectangle, as far as doubles of the
// rectangle's size can tell.
bool centred(const ViewState& v)
{
    const double w = v.Dan_xmax - v.Dan_xmin;
    const double h = v.Dan_ymax - v.Dan_ymin;
    return std::abs(v.Dan_xc - (v.Dan_xmin / 2 + v.Dan_xmax / 2)) <= 1e-12 * w &&
           std::abs(v.Dan_yc - (v.Dan_ymin / 2 + v.Dan_ymax / 2)) <= 1e-12 * h;
}

} // namespace

void TstViewState::wholeSection_data()
{
    QTest::addColumn<QList<QPointF>>("points");
    QTest::addColumn<double>("xmin");
    QTest::addColumn<double>("xmax");
    QTest::addColumn<double>("ymin");
    QTest::addColumn<double>("ymax");

    QTest::newRow("empty block") << QList<QPointF>{} << -1.0 << 11.0 << -1.0 << 11.0;
    QTest::newRow("one point") << QList<QPointF>{{2, 3}} << 1.0 << 3.0 << 2.0 << 4.0;
    QTest::newRow("span 20: 10 %")
        << QList<QPointF>{{0, 0}, {20, 5}} << -2.0 << 22.0 << -1.0 << 6.0;
    QTest::newRow("span 9.99: fixed 1 m")
        << QList<QPointF>{{0, 0}, {9.99, 0}} << -1.0 << 10.99 << -1.0 << 1.0;
    QTest::newRow("span 10: 10 % is 1 m")
        << QList<QPointF>{{0, 0}, {10, 0}} << -1.0 << 11.0 << -1.0 << 1.0;
    QTest::newRow("negative coordinates")
        << QList<QPointF>{{-4, -3}, {-2, -1}} << -5.0 << -1.0 << -4.0 << 0.0;
    // 999.9 is never below the sentinel (strict comparison), so the minimum
    // stays the sentinel and becomes 0: span 1000, margin 100.
    QTest::newRow("all X at or above the sentinel")
        << QList<QPointF>{{999.9, 1}, {1000, 2}} << -100.0 << 1100.0 << 0.0 << 3.0;
    QTest::newRow("points in any order")
        << QList<QPointF>{{3, 1}, {1, 4}, {2, 2}} << 0.0 << 4.0 << 0.0 << 5.0;
}

void TstViewState::wholeSection()
{
    QFETCH(QList<QPointF>, points);
    QFETCH(double, xmin);
    QFETCH(double, xmax);
    QFETCH(double, ymin);
    QFETCH(double, ymax);

    ViewState v;
    Mk_Dan_xyminmax(v, blockOf(points));
    QVERIFY(near(v.Zen_xmin, xmin));
    QVERIFY(near(v.Zen_xmax, xmax));
    QVERIFY(near(v.Zen_ymin, ymin));
    QVERIFY(near(v.Zen_ymax, ymax));
    QCOMPARE(v.Dan_xmin, v.Zen_xmin);
    QCOMPARE(v.Dan_xmax, v.Zen_xmax);
    QCOMPARE(v.Dan_ymin, v.Zen_ymin);
    QCOMPARE(v.Dan_ymax, v.Zen_ymax);
}

void TstViewState::wholeSectionLeavesScaleAndCentre()
{
    ViewState v = area(400, 300);
    v.Dan_scl = 7;
    v.Dan_xc = 1.5;
    v.Dan_yc = -2.5;
    Mk_Dan_xyminmax(v, blockOf({{2, 3}}));
    QCOMPARE(v.Dan_scl, 7.0);
    QCOMPARE(v.Dan_xc, 1.5);
    QCOMPARE(v.Dan_yc, -2.5);
    QCOMPARE(v.Gz_xmax, qint16(400));
}

void TstViewState::damagedCountReadsOnlyTheTable()
{
    // A count beyond the table (damaged record): the 100 entries are used and
    // nothing beyond them is read (the sanitizer build checks the reads).
    BlkRec b;
    b.PntCnt = 30000;
    for (int i = 1; i <= BlkRec::PntLast; ++i) {
        b.PntX[i] = i;
        b.PntY[i] = -i;
    }
    ViewState v;
    Mk_Dan_xyminmax(v, b);
    QVERIFY(near(v.Zen_xmin, 1 - 99 * 0.1));
    QVERIFY(near(v.Zen_xmax, 100 + 99 * 0.1));
    QVERIFY(near(v.Zen_ymin, -100 - 99 * 0.1));
    QVERIFY(near(v.Zen_ymax, -1 + 99 * 0.1));

    b.PntCnt = -5;
    Mk_Dan_xyminmax(v, b);
    QVERIFY(near(v.Zen_xmin, -1));
    QVERIFY(near(v.Zen_xmax, 11));
}

void TstViewState::fit_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<QRectF>("rect"); // x, y = xmin, ymin
    QTest::addColumn<double>("scl");
    QTest::addColumn<double>("xmin");
    QTest::addColumn<double>("xmax");
    QTest::addColumn<double>("ymin");
    QTest::addColumn<double>("ymax");

    QTest::newRow("wide area widens X")
        << 400 << 300 << QRectF(0, 0, 12, 12) << 25.0 << -2.0 << 14.0 << 0.0 << 12.0;
    QTest::newRow("tall area widens Y")
        << 300 << 400 << QRectF(0, 0, 12, 12) << 25.0 << 0.0 << 12.0 << -2.0 << 14.0;
    QTest::newRow("same proportions")
        << 480 << 240 << QRectF(-1, 2, 20, 10) << 24.0 << -1.0 << 19.0 << 2.0 << 12.0;
    QTest::newRow("square whole section")
        << 360 << 360 << QRectF(-1, -1, 12, 12) << 30.0 << -1.0 << 11.0 << -1.0 << 11.0;
}

void TstViewState::fit()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(QRectF, rect);
    QFETCH(double, scl);
    QFETCH(double, xmin);
    QFETCH(double, xmax);
    QFETCH(double, ymin);
    QFETCH(double, ymax);

    ViewState v = area(w, h);
    v.Dan_xmin = rect.left();
    v.Dan_xmax = rect.right();
    v.Dan_ymin = rect.top();
    v.Dan_ymax = rect.bottom();
    Mk_Dan_scl(v);
    QVERIFY(near(v.Dan_scl, scl));
    QVERIFY(near(v.Dan_xmin, xmin));
    QVERIFY(near(v.Dan_xmax, xmax));
    QVERIFY(near(v.Dan_ymin, ymin));
    QVERIFY(near(v.Dan_ymax, ymax));
    QVERIFY(near(v.Dan_xc, rect.center().x()));
    QVERIFY(near(v.Dan_yc, rect.center().y()));
    checkFills(v);
}

void TstViewState::fitOfEmptyAreaIsNotReady()
{
    ViewState v = area(0, 300);
    Mk_Dan_xyminmax(v, BlkRec{});
    Mk_Dan_scl(v);
    QCOMPARE(v.Dan_scl, 0.0);
    QVERIFY(allFinite(v));
    QCOMPARE(Kakudai_rect(v, 0, 0, 100, 100), ZoomResult::NotReady);
}

void TstViewState::originRoundTrip()
{
    ViewState v = area(400, 300);
    Mk_Dan_xyminmax(v, blockOf({{0, 0}, {7.3, 4.1}}));
    Mk_Dan_scl(v);
    double x = 0, y = 0;
    GzToKz(v, 0, 0, x, y);
    QCOMPARE(x, v.Dan_xmin);
    QCOMPARE(y, v.Dan_ymax);
    qint16 gx = 99, gy = 99;
    KzToGz(v, x, y, gx, gy);
    QCOMPARE(gx, qint16(0));
    QCOMPARE(gy, qint16(0));
}

void TstViewState::pixelCentres_data()
{
    QTest::addColumn<int>("gx");
    QTest::addColumn<int>("gy");
    QTest::newRow("origin") << 0 << 0;
    QTest::newRow("inside") << 123 << 45;
    QTest::newRow("last pixel") << 399 << 299;
    QTest::newRow("left of the area") << -7 << 10;
    QTest::newRow("above the area") << 10 << -7;
}

void TstViewState::pixelCentres()
{
    QFETCH(int, gx);
    QFETCH(int, gy);
    ViewState v = viewAt(400, 300, -1.25, 9.5, 33.0);
    // The world position of a pixel's centre maps back to that pixel.
    const double x = v.Dan_xmin + (gx + 0.5) / v.Dan_scl;
    const double y = v.Dan_ymax - (gy + 0.5) / v.Dan_scl;
    qint16 rx = 0, ry = 0;
    KzToGz(v, x, y, rx, ry);
    QCOMPARE(int(rx), gx);
    QCOMPARE(int(ry), gy);
    double wx = 0, wy = 0;
    GzToKz(v, gx, gy, wx, wy);
    QVERIFY(near(wx, v.Dan_xmin + gx / 33.0));
    QVERIFY(near(wy, v.Dan_ymax - gy / 33.0));
}

void TstViewState::belowZeroRoundsDown_data()
{
    QTest::addColumn<double>("dx"); // pixels right of Dan_xmin
    QTest::addColumn<double>("dy"); // pixels below Dan_ymax
    QTest::addColumn<int>("gx");
    QTest::addColumn<int>("gy");
    QTest::newRow("a tenth left") << -0.1 << 0.5 << -1 << 0;
    QTest::newRow("a tenth above") << 0.5 << -0.1 << 0 << -1;
    QTest::newRow("one and a half left") << -1.5 << 2.5 << -2 << 2;
}

void TstViewState::belowZeroRoundsDown()
{
    QFETCH(double, dx);
    QFETCH(double, dy);
    QFETCH(int, gx);
    QFETCH(int, gy);
    const ViewState v = viewAt(400, 300, 2, 10, 40);
    qint16 rx = 0, ry = 0;
    KzToGz(v, v.Dan_xmin + dx / 40, v.Dan_ymax - dy / 40, rx, ry);
    QCOMPARE(int(rx), gx);
    QCOMPARE(int(ry), gy);
}

void TstViewState::kzToGzClamps_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("gx");
    QTest::addColumn<int>("gy");
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("far right and below") << 6.0 << 4.0 << 32767 << 32767;
    QTest::newRow("far left and above") << 4.0 << 6.0 << -32768 << -32768;
    QTest::newRow("just inside the range") << 5.0 + 32767.5 / 1e12 << 5.0 << 32767 << 0;
    QTest::newRow("infinite") << inf << -inf << 32767 << 32767;
    QTest::newRow("NaN is off the area") << nan << nan << -32768 << -32768;
}

void TstViewState::kzToGzClamps()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(int, gx);
    QFETCH(int, gy);
    // 10^12 pixels per metre: a metre away is far beyond 16 (and 32) bits.
    const ViewState v = viewAt(400, 300, 5, 5, 1e12);
    qint16 rx = 1, ry = 1;
    KzToGz(v, x, y, rx, ry);
    QCOMPARE(int(rx), gx);
    QCOMPARE(int(ry), gy);
}

void TstViewState::enlargeThenReduce()
{
    ViewState v = area(400, 300);
    Mk_Dan_xyminmax(v, blockOf({{0, 0}, {8, 6}}));
    Mk_Dan_scl(v);
    const double before = v.Dan_scl;
    Set_Dan_scl(v, 0, 3.5, 2.25);
    QVERIFY(near(v.Dan_scl, before * 1.25));
    Set_Dan_scl(v, 1, 3.5, 2.25);
    QVERIFY(near(v.Dan_scl, before * 0.9375));
    QCOMPARE(v.Dan_xc, 3.5);
    QCOMPARE(v.Dan_yc, 2.25);
    QVERIFY(near((v.Dan_xmin + v.Dan_xmax) / 2, 3.5));
    QVERIFY(near((v.Dan_ymin + v.Dan_ymax) / 2, 2.25));
    checkFills(v);
}

void TstViewState::invariantAfterZoomSteps_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<QList<int>>("steps"); // SclSw values
    QTest::newRow("fit only") << 640 << 480 << QList<int>{};
    QTest::newRow("in in out") << 640 << 480 << QList<int>{0, 0, 1};
    QTest::newRow("any non-zero reduces") << 333 << 517 << QList<int>{5, -1, 1};
    QTest::newRow("twenty in") << 1920 << 1040 << QList<int>(20, 0);
}

void TstViewState::invariantAfterZoomSteps()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(QList<int>, steps);
    ViewState v = area(w, h);
    Mk_Dan_xyminmax(v, blockOf({{0, 0}, {3, 2}, {1, 5}}));
    Mk_Dan_scl(v);
    checkFills(v);
    double expected = v.Dan_scl;
    for (int s : steps) {
        Set_Dan_scl(v, qint16(s), 1.5, 2.5);
        expected *= s == 0 ? 1.25 : 0.75;
        checkFills(v);
    }
    QVERIFY(near(v.Dan_scl, expected, 1e-12 * expected));
}

void TstViewState::extremeZoomStaysFinite_data()
{
    QTest::addColumn<int>("sclSw");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QPointF>("centre");
    // Zoomed in this far, a double near 5 no longer tells the view's edges
    // apart; about the origin it still does.
    QTest::newRow("200 in") << 0 << 200 << QPointF(0, 0);
    QTest::newRow("200 out") << 1 << 200 << QPointF(5, 5);
    QTest::newRow("5000 in") << 0 << 5000 << QPointF(0, 0);
    QTest::newRow("5000 out") << 1 << 5000 << QPointF(5, 5);
}

void TstViewState::extremeZoomStaysFinite()
{
    QFETCH(int, sclSw);
    QFETCH(int, steps);
    QFETCH(QPointF, centre);
    ViewState v = area(400, 300);
    Mk_Dan_xyminmax(v, blockOf({{0, 0}, {10, 10}}));
    Mk_Dan_scl(v);
    for (int i = 0; i < steps; ++i)
        Set_Dan_scl(v, qint16(sclSw), centre.x(), centre.y());
    QVERIFY(allFinite(v));
    QVERIFY(v.Dan_scl > 0);
    QVERIFY(sclSw == 0 ? v.Dan_scl > 1e15 : v.Dan_scl < 1e-20);
    QCOMPARE(v.Dan_xc, centre.x());
    QCOMPARE(v.Dan_yc, centre.y());

    // The centre still maps to the middle of the area; the whole section's
    // corners map to clamped positions (zoomed in) or the middle (zoomed out).
    qint16 gx = 0, gy = 0;
    KzToGz(v, centre.x(), centre.y(), gx, gy);
    QVERIFY2(std::abs(gx - 200) <= 1, qPrintable(QString::number(gx)));
    QVERIFY2(std::abs(gy - 150) <= 1, qPrintable(QString::number(gy)));
    KzToGz(v, v.Zen_xmin, v.Zen_ymin, gx, gy);
    if (sclSw == 0) {
        QCOMPARE(gx, qint16(-32768));
        QCOMPARE(gy, qint16(32767));
    } else {
        QVERIFY(std::abs(gx - 200) <= 1);
        QVERIFY(std::abs(gy - 150) <= 1);
    }
    double x = 0, y = 0;
    GzToKz(v, 0, 0, x, y);
    QVERIFY(std::isfinite(x) && std::isfinite(y));
    // Zooming back from the far end works again.
    const double scl = v.Dan_scl;
    Set_Dan_scl(v, qint16(sclSw == 0 ? 1 : 0), centre.x(), centre.y());
    QVERIFY(near(v.Dan_scl, scl * (sclSw == 0 ? 0.75 : 1.25), 1e-12 * v.Dan_scl));
}

void TstViewState::zoomBeforeFitDoesNothing()
{
    ViewState v = area(400, 300);
    const ViewState before = v;
    Set_Dan_scl(v, 0, 3, 4);
    QVERIFY(sameView(v, before));
    QVERIFY(allFinite(v));
    double x = 1, y = 1;
    GzToKz(v, 10, 10, x, y);
    QVERIFY(std::isfinite(x) && std::isfinite(y));
}

void TstViewState::kakudai_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<double>("scl"); // starting view: x from 0, y up to ymax
    QTest::addColumn<double>("ymax");
    QTest::addColumn<QPoint>("a");
    QTest::addColumn<QPoint>("b");
    QTest::addColumn<double>("newScl");
    QTest::addColumn<QRectF>("rect"); // the fitted view: x, y = xmin, ymin

    // World (2, 3) and (6, 6) at 40 px/m: pixels (80, 280) and (240, 160).
    // Margins 0.1 m: X 1.9..6.1 (4.2 m), Y 2.9..6.1 (3.2 m). A 420 x 320 area
    // has these proportions at 100 px/m, so the fit keeps the rectangle.
    QTest::newRow("(2,3)-(6,6) fills exactly")
        << 420 << 320 << 40.0 << 10.0 << QPoint(80, 280) << QPoint(240, 160) << 100.0
        << QRectF(1.9, 2.9, 4.2, 3.2);
    QTest::newRow("corners in the other order")
        << 420 << 320 << 40.0 << 10.0 << QPoint(240, 160) << QPoint(80, 280) << 100.0
        << QRectF(1.9, 2.9, 4.2, 3.2);
    // In a square area the fit widens Y about its centre 4.5 to 4.2 m.
    QTest::newRow("(2,3)-(6,6) widened by the fit")
        << 400 << 400 << 40.0 << 10.0 << QPoint(80, 280) << QPoint(240, 160) << 400 / 4.2
        << QRectF(1.9, 2.4, 4.2, 4.2);
    // World (0, 0)-(20, 12) at 10 px/m; spans of 10 m or more get 1 %: X
    // -0.2..20.2, Y -0.12..12.12; the fit widens Y to 20.4 m about 6.
    QTest::newRow("1 % margins from 10 m")
        << 400 << 400 << 10.0 << 40.0 << QPoint(0, 400) << QPoint(200, 280) << 400 / 20.4
        << QRectF(-0.2, 6 - 10.2, 20.4, 20.4);
}

void TstViewState::kakudai()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(double, scl);
    QFETCH(double, ymax);
    QFETCH(QPoint, a);
    QFETCH(QPoint, b);
    QFETCH(double, newScl);
    QFETCH(QRectF, rect);

    ViewState v = viewAt(w, h, 0, ymax, scl);
    const ViewState before = v;
    QCOMPARE(Kakudai_rect(v, a.x(), a.y(), b.x(), b.y()), ZoomResult::Zoomed);
    QVERIFY(near(v.Dan_scl, newScl));
    QVERIFY(near(v.Dan_xmin, rect.left()));
    QVERIFY(near(v.Dan_xmax, rect.right()));
    QVERIFY(near(v.Dan_ymin, rect.top()));
    QVERIFY(near(v.Dan_ymax, rect.bottom()));
    QVERIFY(near(v.Dan_xc, rect.center().x()));
    QVERIFY(near(v.Dan_yc, rect.center().y()));
    checkFills(v);
    // Zooming never touches the whole-section rectangle.
    QCOMPARE(v.Zen_xmin, before.Zen_xmin);
    QCOMPARE(v.Zen_ymax, before.Zen_ymax);
}

void TstViewState::kakudaiTooSmallLeavesView_data()
{
    QTest::addColumn<QPoint>("a");
    QTest::addColumn<QPoint>("b");
    // At 40 px/m: 10 px are 0.25 m.
    QTest::newRow("0.25 m wide") << QPoint(80, 280) << QPoint(90, 100);
    QTest::newRow("0.25 m high") << QPoint(80, 280) << QPoint(300, 290);
    QTest::newRow("a click") << QPoint(80, 280) << QPoint(80, 280);
}

void TstViewState::kakudaiTooSmallLeavesView()
{
    QFETCH(QPoint, a);
    QFETCH(QPoint, b);
    ViewState v = viewAt(400, 400, 0, 10, 40);
    const ViewState before = v;
    QCOMPARE(Kakudai_rect(v, a.x(), a.y(), b.x(), b.y()), ZoomResult::TooSmall);
    QVERIFY(sameView(v, before));
}

void TstViewState::rectZoomNotReady()
{
    ViewState v = area(400, 300);
    QCOMPARE(Kakudai_rect(v, 0, 0, 300, 200), ZoomResult::NotReady);
    QCOMPARE(Shukusho_rect(v, 0, 0, 300, 200), ZoomResult::NotReady);
    QVERIFY(sameView(v, area(400, 300)));
}

void TstViewState::shukushoTooSmall()
{
    // 200 px/m: one pixel is 0.005 m.
    ViewState v = viewAt(400, 400, 0, 2, 200);
    const ViewState before = v;
    QCOMPARE(Shukusho_rect(v, 10, 10, 300, 11), ZoomResult::TooSmall);
    QVERIFY(sameView(v, before));
    QCOMPARE(Shukusho_rect(v, 10, 10, 11, 300), ZoomResult::TooSmall);
    QVERIFY(sameView(v, before));
    // Three pixels (0.015 m) are enough.
    QCOMPARE(Shukusho_rect(v, 10, 10, 300, 13), ZoomResult::Zoomed);
}

void TstViewState::shukushoScaleAndPlacement_data()
{
    QTest::addColumn<QPoint>("a");
    QTest::addColumn<QPoint>("b");
    QTest::addColumn<double>("k");
    // The view is 400 x 400 px at 40 px/m.
    QTest::newRow("a fifth wide, half high") << QPoint(40, 100) << QPoint(120, 300) << 0.2;
    QTest::newRow("half wide, a quarter high") << QPoint(300, 50) << QPoint(100, 150) << 0.25;
    QTest::newRow("off centre") << QPoint(250, 250) << QPoint(390, 390) << 0.35;
}

void TstViewState::shukushoScaleAndPlacement()
{
    QFETCH(QPoint, a);
    QFETCH(QPoint, b);
    QFETCH(double, k);
    ViewState v = viewAt(400, 400, 0, 10, 40);
    const ViewState before = v;
    QCOMPARE(Shukusho_rect(v, a.x(), a.y(), b.x(), b.y()), ZoomResult::Zoomed);
    QVERIFY(near(v.Dan_scl, 40 * k));
    checkFills(v);
    // What was visible is now drawn in the dragged rectangle: in the limiting
    // direction the old edges land on its edges, and the old centre on its
    // centre in the other.
    const QRect r = QRect(a, b).normalized();
    const double oldLeft = (before.Dan_xmin - v.Dan_xmin) * v.Dan_scl;
    const double oldRight = (before.Dan_xmax - v.Dan_xmin) * v.Dan_scl;
    const double oldTop = (v.Dan_ymax - before.Dan_ymax) * v.Dan_scl;
    const double oldBottom = (v.Dan_ymax - before.Dan_ymin) * v.Dan_scl;
    const double width = b.x() > a.x() ? b.x() - a.x() : a.x() - b.x();
    const double height = b.y() > a.y() ? b.y() - a.y() : a.y() - b.y();
    const double rx = (a.x() + b.x()) / 2.0;
    const double ry = (a.y() + b.y()) / 2.0;
    if (width / 400 <= height / 400) {
        QVERIFY(near(oldLeft, r.left(), 1e-6));
        QVERIFY(near(oldRight, r.left() + width, 1e-6));
        QVERIFY(near((oldTop + oldBottom) / 2, ry, 1e-6));
    } else {
        QVERIFY(near(oldTop, r.top(), 1e-6));
        QVERIFY(near(oldBottom, r.top() + height, 1e-6));
        QVERIFY(near((oldLeft + oldRight) / 2, rx, 1e-6));
    }
}

void TstViewState::scroll_data()
{
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<double>("zenMin");
    QTest::addColumn<double>("zenMax");
    QTest::addColumn<double>("centre");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<double>("shift"); // of the view's edges, in metres

    QTest::newRow("right by one: r 6") << false << -1.0 << 11.0 << 5.0 << 50 << 51 << 0.12;
    QTest::newRow("to the right end: r") << false << -1.0 << 11.0 << 5.0 << 50 << 100 << 6.0;
    QTest::newRow("to the left end") << false << -1.0 << 11.0 << 5.0 << 50 << 0 << -6.0;
    QTest::newRow("r from the nearer edge is not used")
        << false << -1.0 << 11.0 << 9.0 << 50 << 60 << 2.0;
    QTest::newRow("down by five: r 4") << true << -4.0 << 3.0 << 0.0 << 50 << 55 << -0.4;
    QTest::newRow("up to the top") << true << -1.0 << 11.0 << 5.0 << 50 << 0 << 6.0;
}

void TstViewState::scroll()
{
    QFETCH(bool, vertical);
    QFETCH(double, zenMin);
    QFETCH(double, zenMax);
    QFETCH(double, centre);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(double, shift);

    ViewState v = viewAt(400, 400, 0, 10, 40);
    v.Zen_xmin = v.Zen_ymin = zenMin;
    v.Zen_xmax = v.Zen_ymax = zenMax;
    v.Dan_xc = v.Dan_yc = centre;
    const ViewState before = v;
    ScrollState s;
    s.HScl_val = s.VScl_val = qint16(from);
    const bool handled =
        vertical ? VScroll_change(v, s, to, 0, 100) : HScroll_change(v, s, to, 0, 100);
    QVERIFY(handled);
    const double lo = vertical ? v.Dan_ymin - before.Dan_ymin : v.Dan_xmin - before.Dan_xmin;
    const double hi = vertical ? v.Dan_ymax - before.Dan_ymax : v.Dan_xmax - before.Dan_xmax;
    QVERIFY2(near(lo, shift), qPrintable(QString::number(lo)));
    QVERIFY(near(hi, shift));
    // The other direction, the scale, the centre and the whole section stay.
    if (vertical) {
        QCOMPARE(v.Dan_xmin, before.Dan_xmin);
        QCOMPARE(s.VScl_val, qint16(to));
        QCOMPARE(s.HScl_val, qint16(from));
    } else {
        QCOMPARE(v.Dan_ymin, before.Dan_ymin);
        QCOMPARE(s.HScl_val, qint16(to));
        QCOMPARE(s.VScl_val, qint16(from));
    }
    QCOMPARE(v.Dan_scl, before.Dan_scl);
    QCOMPARE(v.Dan_xc, before.Dan_xc);
    QCOMPARE(v.Dan_yc, before.Dan_yc);
    QCOMPARE(v.Zen_xmin, before.Zen_xmin);
}

void TstViewState::scrollGuard_data()
{
    QTest::addColumn<bool>("vertical");
    QTest::newRow("horizontal") << false;
    QTest::newRow("vertical") << true;
}

void TstViewState::scrollGuard()
{
    QFETCH(bool, vertical);
    ViewState v = viewAt(400, 400, 0, 10, 40);
    const ViewState before = v;
    ScrollState s;
    s.HScl_val = 70;
    s.VScl_val = 70;
    (vertical ? s.VScl_sw : s.HScl_sw) = 1;
    // The program puts the bar back to the neutral position itself.
    const bool handled = vertical ? VScroll_change(v, s, ScrollState::Neutral, 0, 100)
                                  : HScroll_change(v, s, ScrollState::Neutral, 0, 100);
    QVERIFY(!handled);
    QVERIFY(sameView(v, before));
    QCOMPARE(s.HScl_val, qint16(70));
    QCOMPARE(s.VScl_val, qint16(70));
    // The other bar's guard does not protect this one.
    ScrollState t;
    (vertical ? t.HScl_sw : t.VScl_sw) = 1;
    QVERIFY(vertical ? VScroll_change(v, t, 60, 0, 100) : HScroll_change(v, t, 60, 0, 100));
    QVERIFY(!sameView(v, before));
}

void TstViewState::scrollSteps()
{
    // Each change moves by the difference to the last handled value.
    ViewState v = viewAt(400, 400, 0, 10, 40);
    v.Zen_xmin = -1;
    v.Zen_xmax = 11;
    v.Dan_xc = 5;
    ScrollState s;
    QVERIFY(HScroll_change(v, s, 51, 0, 100));
    QVERIFY(HScroll_change(v, s, 53, 0, 100));
    QVERIFY(near(v.Dan_xmin, 0.36));
    QVERIFY(HScroll_change(v, s, 50, 0, 100));
    QVERIFY(near(v.Dan_xmin, 0));
    QVERIFY(near(v.Dan_xmax, 10));
    // A bar without a range cannot move the view.
    QVERIFY(HScroll_change(v, s, 50, 7, 7));
    QVERIFY(near(v.Dan_xmin, 0));
}

void TstViewState::repeatedRectZoomsStayFinite_data()
{
    // ops: S = a 縮小 drag over shrink, K = a 拡大 drag over enlarge.
    QTest::addColumn<QString>("ops");
    QTest::addColumn<QRect>("shrink");
    QTest::addColumn<QRect>("enlarge");
    QTest::addColumn<bool>("reachesEnd"); // goes on until a zoom must be refused
    const QRect small(QPoint(100, 100), QPoint(130, 120));
    const QRect wide(QPoint(50, 40), QPoint(350, 260));
    // Each drag shrinks the scale 15-fold: the double range ends after ~260.
    QTest::newRow("400 small 縮小 drags") << QString(400, u'S') << small << wide << true;
    QTest::newRow("400 縮小 drags off centre")
        << QString(400, u'S') << QRect(QPoint(5, 5), QPoint(40, 30)) << wide << true;
    QTest::newRow("縮小 to the end of the range, then 拡大 back")
        << QString(400, u'S') + QString(400, u'K') << small << wide << true;
    QTest::newRow("two 縮小, one 拡大, 200 times")
        << QString(QStringLiteral("SSK")).repeated(200) << small << wide << true;
    // The 0.1 m margins make these drags settle on a view of 0.8 m, which
    // the next drag gives again.
    QTest::newRow("300 拡大 drags") << QString(300, u'K') << small << wide << false;
    // These shrink toward 0.22 m, below the 0.3 m minimum.
    QTest::newRow("300 拡大 drags into a corner")
        << QString(300, u'K') << small << QRect(QPoint(0, 0), QPoint(40, 30)) << true;
}

void TstViewState::repeatedRectZoomsStayFinite()
{
    QFETCH(QString, ops);
    QFETCH(QRect, shrink);
    QFETCH(QRect, enlarge);
    QFETCH(bool, reachesEnd);
    ViewState v = area(400, 300);
    Mk_Dan_xyminmax(v, blockOf({{0, 0}, {10, 10}}));
    Mk_Dan_scl(v);
    const ViewState fit = v;
    int shrunk = 0;
    int enlarged = 0;
    int refused = 0;
    for (int i = 0; i < ops.size(); ++i) {
        const ViewState before = v;
        const bool isShrink = ops.at(i) == u'S';
        const QRect& r = isShrink ? shrink : enlarge;
        const ZoomResult res = isShrink ? Shukusho_rect(v, r.left(), r.top(), r.right(), r.bottom())
                                        : Kakudai_rect(v, r.left(), r.top(), r.right(), r.bottom());
        const QString step = QStringLiteral("step %1 (%2): ").arg(i).arg(ops.at(i));
        QVERIFY2(res != ZoomResult::NotReady, qPrintable(step));
        QVERIFY2(sameWholeSection(v, fit), qPrintable(step + QStringLiteral("whole section")));
        if (res == ZoomResult::TooSmall) {
            // A refused zoom leaves the view exactly as it was.
            QVERIFY2(sameView(v, before), qPrintable(step + QStringLiteral("refused but moved")));
            ++refused;
            continue;
        }
        const QString fault = usableViewFault(v);
        QVERIFY2(fault.isEmpty(), qPrintable(step + fault));
        QVERIFY2(centred(v), qPrintable(step + QStringLiteral("off centre")));
        ++(isShrink ? shrunk : enlarged);
    }
    QCOMPARE(shrunk > 0, ops.contains(u'S'));
    QCOMPARE(enlarged > 0, ops.contains(u'K'));
    // Beyond the double range outward, below 0.3 m inward.
    QCOMPARE(refused > 0, reachesEnd);
    // Whatever happened, 全表示 still gives the fitted view.
    Mk_Dan_xyminmax(v, blockOf({{0, 0}, {10, 10}}));
    Mk_Dan_scl(v);
    QVERIFY(sameView(v, fit));
}

void TstViewState::repeatedZoomStepsKeepInvariant_data()
{
    QTest::addColumn<int>("sclSw");
    QTest::addColumn<QPointF>("centre");
    const QList<QPointF> centres = {{0, 0}, {5, 5}, {-1234.5, 77.25}, {1e6, -1e6}};
    for (const QPointF& c : centres) {
        QTest::addRow("in about %g, %g", c.x(), c.y()) << 0 << c;
        QTest::addRow("out about %g, %g", c.x(), c.y()) << 1 << c;
    }
}

void TstViewState::repeatedZoomStepsKeepInvariant()
{
    QFETCH(int, sclSw);
    QFETCH(QPointF, centre);
    ViewState v = area(400, 300);
    Mk_Dan_xyminmax(v, blockOf({{0, 0}, {10, 10}}));
    Mk_Dan_scl(v);
    const double factor = sclSw == 0 ? 1.25 : 0.75;
    int changed = 0;
    // 4000 steps reach either end of the double range from any of the centres.
    constexpr int kSteps = 4000;
    for (int i = 0; i < kSteps; ++i) {
        const ViewState before = v;
        Set_Dan_scl(v, qint16(sclSw), centre.x(), centre.y());
        const QString step = QStringLiteral("step %1: ").arg(i);
        if (sameView(v, before))
            continue;
        ++changed;
        const QString fault = usableViewFault(v);
        QVERIFY2(fault.isEmpty(), qPrintable(step + fault));
        QCOMPARE(v.Dan_scl, before.Dan_scl * factor);
        QCOMPARE(v.Dan_xc, centre.x());
        QCOMPARE(v.Dan_yc, centre.y());
    }
    QVERIFY(changed >= 5);
    QVERIFY(changed < kSteps); // the end of the range was reached
    // From the far end the way back is open.
    const ViewState before = v;
    Set_Dan_scl(v, qint16(sclSw == 0 ? 1 : 0), centre.x(), centre.y());
    QVERIFY(!sameView(v, before));
    QVERIFY2(usableViewFault(v).isEmpty(), qPrintable(usableViewFault(v)));
}

void TstViewState::wholeSectionOfAbsurdPointsIsUsable_data()
{
    QTest::addColumn<QList<QPointF>>("points");
    const double big = std::numeric_limits<double>::max();
    QTest::newRow("±1e308") << QList<QPointF>{{1e308, 1e308}, {-1e308, -1e308}};
    QTest::newRow("±1e308 crosswise") << QList<QPointF>{{1e308, -1e308}, {-1e308, 1e308}};
    QTest::newRow("largest doubles") << QList<QPointF>{{big, -big}, {-big, big}};
    QTest::newRow("1e308 among ordinary points")
        << QList<QPointF>{{0, 0}, {10, 10}, {1e308, 5}, {3, -1e308}};
    QTest::newRow("one point at 1e308") << QList<QPointF>{{1e308, 1e308}};
    // Far out, but the ranges still reach to the origin's side (the sentinels).
    QTest::newRow("one point at 1e17") << QList<QPointF>{{1e17, -1e17}};
    QTest::newRow("10 m apart, 1e12 m out") << QList<QPointF>{{1e12, 5}, {1e12 + 10, 6}};
    QTest::newRow("tiny numbers") << QList<QPointF>{{1e-300, -1e-310}, {4e-300, 5e-320}};
}

void TstViewState::wholeSectionOfAbsurdPointsIsUsable()
{
    QFETCH(QList<QPointF>, points);
    // A used view first: the fit must replace it, not keep parts of it.
    ViewState v = viewAt(400, 300, 3, 7, 25);
    Mk_Dan_xyminmax(v, blockOf(points));
    for (double d : {v.Zen_xmin, v.Zen_xmax, v.Zen_ymin, v.Zen_ymax})
        QVERIFY(std::isfinite(d));
    QVERIFY(v.Zen_xmin < v.Zen_xmax);
    QVERIFY(v.Zen_ymin < v.Zen_ymax);
    // Points within ±1e300 m lie inside the whole section.
    for (const QPointF& p : points) {
        if (std::abs(p.x()) <= 1e300)
            QVERIFY(v.Zen_xmin < p.x() && p.x() < v.Zen_xmax);
        if (std::abs(p.y()) <= 1e300)
            QVERIFY(v.Zen_ymin < p.y() && p.y() < v.Zen_ymax);
    }
    Mk_Dan_scl(v);
    QVERIFY2(usableViewFault(v).isEmpty(), qPrintable(usableViewFault(v)));
    QVERIFY(centred(v));
    // Centred on the whole section (halves, as its sum may not be finite).
    QVERIFY(std::abs(v.Dan_xc - (v.Zen_xmin / 2 + v.Zen_xmax / 2)) <=
            1e-12 * (v.Zen_xmax - v.Zen_xmin));
    QVERIFY(std::abs(v.Dan_yc - (v.Zen_ymin / 2 + v.Zen_ymax / 2)) <=
            1e-12 * (v.Zen_ymax - v.Zen_ymin));
    // The fitted view is one to work from: a zoom step about its centre.
    const ViewState fit = v;
    Set_Dan_scl(v, 0, v.Dan_xc, v.Dan_yc);
    QVERIFY(!sameView(v, fit));
    QVERIFY2(usableViewFault(v).isEmpty(), qPrintable(usableViewFault(v)));
}

void TstViewState::wholeSectionSkipsNonFinitePoints_data()
{
    QTest::addColumn<QList<QPointF>>("points");
    QTest::addColumn<QList<QPointF>>("finitePoints");
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("NaN X") << QList<QPointF>{{1, 1}, {nan, 50}, {3, 4}}
                           << QList<QPointF>{{1, 1}, {3, 4}};
    QTest::newRow("NaN Y") << QList<QPointF>{{nan, 1}, {1, nan}, {2, 2}} << QList<QPointF>{{2, 2}};
    QTest::newRow("infinite X") << QList<QPointF>{{inf, 2}, {1, 1}, {-inf, 7}, {20, 3}}
                                << QList<QPointF>{{1, 1}, {20, 3}};
    QTest::newRow("infinite Y") << QList<QPointF>{{1, -inf}, {4, 5}, {6, inf}}
                                << QList<QPointF>{{4, 5}};
    QTest::newRow("nothing finite: the empty block's rectangle")
        << QList<QPointF>{{nan, nan}, {inf, -inf}} << QList<QPointF>{};
}

void TstViewState::wholeSectionSkipsNonFinitePoints()
{
    QFETCH(QList<QPointF>, points);
    QFETCH(QList<QPointF>, finitePoints);
    ViewState v = area(400, 300);
    Mk_Dan_xyminmax(v, blockOf(points));
    ViewState expected = area(400, 300);
    Mk_Dan_xyminmax(expected, blockOf(finitePoints));
    QCOMPARE(v.Zen_xmin, expected.Zen_xmin);
    QCOMPARE(v.Zen_xmax, expected.Zen_xmax);
    QCOMPARE(v.Zen_ymin, expected.Zen_ymin);
    QCOMPARE(v.Zen_ymax, expected.Zen_ymax);
    Mk_Dan_scl(v);
    QVERIFY2(usableViewFault(v).isEmpty(), qPrintable(usableViewFault(v)));
}

void TstViewState::scrollBeyondTheDoubleRangeIsRefused_data()
{
    QTest::addColumn<bool>("vertical");
    QTest::newRow("horizontal") << false;
    QTest::newRow("vertical") << true;
}

void TstViewState::scrollBeyondTheDoubleRangeIsRefused()
{
    QFETCH(bool, vertical);
    // Zoomed far out and off to one side (縮小 drags can get there): the view's
    // centre is 1.5e308 m from the whole section, so half the bar's travel
    // would move the view past the largest double.
    ViewState v = viewAt(400, 400, 1.4e308, -1.4e308, 400 / 2e307);
    v.Dan_xc = 1.5e308;
    v.Dan_yc = -1.5e308;
    QVERIFY(allFinite(v));
    v.Zen_xmin = v.Zen_ymin = -1;
    v.Zen_xmax = v.Zen_ymax = 11;
    const ViewState before = v;
    ScrollState s;
    // Away from the whole section: right, or down (toward smaller Y).
    const int to = 100;
    const bool handled =
        vertical ? VScroll_change(v, s, to, 0, 100) : HScroll_change(v, s, to, 0, 100);
    QVERIFY(!handled);
    QVERIFY(sameView(v, before));
    QCOMPARE(s.HScl_val, qint16(ScrollState::Neutral));
    QCOMPARE(s.VScl_val, qint16(ScrollState::Neutral));
    // A move back toward the whole section is fine.
    const int back = 40;
    QVERIFY(vertical ? VScroll_change(v, s, back, 0, 100) : HScroll_change(v, s, back, 0, 100));
    QVERIFY(!sameView(v, before));
    QVERIFY(allFinite(v));
    QCOMPARE(vertical ? s.VScl_val : s.HScl_val, qint16(back));
}

void TstViewState::wheelZoomKeepsPointUnderPointer_data()
{
    QTest::addColumn<int>("sw");
    QTest::addColumn<int>("gx");
    QTest::addColumn<int>("gy");
    QTest::addColumn<double>("factor");
    QTest::newRow("in at a corner") << 0 << 0 << 0 << 1.25;
    QTest::newRow("in off centre") << 0 << 37 << 250 << 1.25;
    QTest::newRow("out off centre") << 1 << 399 << 12 << 0.75;
}

void TstViewState::wheelZoomKeepsPointUnderPointer()
{
    QFETCH(int, sw);
    QFETCH(int, gx);
    QFETCH(int, gy);
    ViewState v = viewAt(400, 300, -3, 20, 10);
    double x0 = 0, y0 = 0;
    GzToKz(v, gx, gy, x0, y0);
    QVERIFY(Zoom_at(v, qint16(sw), gx, gy));
    QFETCH(double, factor);
    QVERIFY(near(v.Dan_scl, 10 * factor));
    double x1 = 0, y1 = 0;
    GzToKz(v, gx, gy, x1, y1);
    QVERIFY(near(x1, x0) && near(y1, y0));
    checkFills(v);
    // The whole-section rectangle is the zoom's business no more than a click's.
    QCOMPARE(v.Zen_xmin, -3.0);
    ViewState unfitted = area(400, 300);
    QVERIFY(!Zoom_at(unfitted, 0, gx, gy));
}

void TstViewState::panFollowsPointer()
{
    ViewState v = viewAt(400, 300, 0, 30, 10);
    const double xc = v.Dan_xc;
    QVERIFY(Pan_view(v, 20, -10)); // right and up: the world moves with the pointer
    QVERIFY(near(v.Dan_xmin, -2) && near(v.Dan_ymax, 29));
    QCOMPARE(v.Dan_scl, 10.0);
    QCOMPARE(v.Dan_xc, xc); // the scroll range stays anchored, as after scrolling
    checkFills(v);
}

QTEST_GUILESS_MAIN(TstViewState)
#include "tst_viewstate.moc"
