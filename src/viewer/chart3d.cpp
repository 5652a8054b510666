#include "viewer/chart3d.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QtMath>
#include <array>
#include <cmath>

namespace viewer {

namespace {

// The plot box, in box units: the categories take the width, the values
// the height, the series rows the depth.
constexpr double kBoxWidth = 1.0;
constexpr double kBoxHeight = 0.55;
constexpr double kMostDepth = 0.8;
constexpr double kBarGap = 0.3;   // share of a category left between bars
constexpr double kRowGap = 0.15;  // share of a series row left between rows
constexpr double kShadowOffset = 6.0;
constexpr double kBorderWidth = 3.0;
constexpr qsizetype kMostSmoothFaces = 1200;
// Turned category labels take at most this share of the chart's height.
constexpr double kTurnedLabelShare = 0.22;

const QColor kWallColour(0xe6, 0xe9, 0xee);
const QColor kFloorColour(0xd3, 0xd8, 0xdf);
const QColor kEdgeColour(0x8a, 0x93, 0xa0);
const QColor kShadowColour(0x70, 0x70, 0x70, 150);

// `colour` lit by `light` (1 as it is, below darker, above paler).
QColor shaded(const QColor& colour, double light)
{
    auto channel = [light](int value) {
        const double lit = light <= 1.0 ? value * light : value + (255 - value) * (light - 1.0);
        return std::clamp(int(std::lround(lit)), 0, 255);
    };
    return QColor(channel(colour.red()), channel(colour.green()), channel(colour.blue()));
}

// How much light a face turned towards `normal` (in the viewer's terms)
// gets: from above, a little from the right and the front.
double lightFor(const QVector3D& normal)
{
    static const QVector3D light = QVector3D(0.3f, 0.8f, -0.5f).normalized();
    return 0.66 + 0.5 * std::max(0.0f, QVector3D::dotProduct(normal.normalized(), light));
}

}  // namespace

View3D turnedBy(const View3D& view, double degrees)
{
    View3D turned = view;
    turned.rotation = std::fmod(view.rotation + degrees, 360.0);
    if (turned.rotation < 0.0)
        turned.rotation += 360.0;
    return turned;
}

// ---- projection ---------------------------------------------------------------

Projection3D::Projection3D(const View3D& view, const QVector3D& box, const QRectF& area)
    : m_centre(box / 2.0f),
      m_cosTurn(std::cos(qDegreesToRadians(view.rotation))),
      m_sinTurn(std::sin(qDegreesToRadians(view.rotation))),
      m_cosRise(std::cos(qDegreesToRadians(view.elevation))),
      m_sinRise(std::sin(qDegreesToRadians(view.elevation))),
      m_origin(area.center())
{
    // The scale fits the box at any turn, so that turning never changes its
    // size: across, the floor's diagonal; up, the height and the floor's
    // diagonal seen from the elevation.
    const double reach = std::hypot(double(box.x()), double(box.z()));
    const double across = std::max(reach, 1e-6);
    const double up = std::max(box.y() * std::abs(m_cosRise) + reach * std::abs(m_sinRise), 1e-6);
    m_scale = std::max(0.0, std::min(area.width() / across, area.height() / up));
}

QVector3D Projection3D::toView(const QVector3D& direction) const
{
    const double x = direction.x() * m_cosTurn - direction.z() * m_sinTurn;
    const double z = direction.x() * m_sinTurn + direction.z() * m_cosTurn;
    const double up = direction.y() * m_cosRise + z * m_sinRise;
    const double away = z * m_cosRise - direction.y() * m_sinRise;
    return QVector3D(float(x), float(up), float(away));
}

QPointF Projection3D::toScreen(const QVector3D& point) const
{
    const QVector3D seen = toView(point - m_centre);
    return QPointF(m_origin.x() + m_scale * seen.x(), m_origin.y() - m_scale * seen.y());
}

double Projection3D::depth(const QVector3D& point) const
{
    return toView(point - m_centre).z();
}

// ---- the chart ----------------------------------------------------------------

Chart3DPainter::Chart3DPainter(const ChartData& data, const ChartLook& look, const View3D& view, const QRectF& area)
    : m_data(data), m_look(look), m_view(view), m_area(area), m_font(chartTextFont())
{
    const bool bars = look.type == ChartType::Bar3D;
    m_scale = valueScaleFor(data, bars);
    const int rows = std::max<int>(1, int(data.series.size()));
    const int categories = std::max<int>(1, int(data.categories.size()));
    // A row is as deep as a category is wide, and all rows together no
    // deeper than kMostDepth. Ribbons keep some depth however many
    // categories there are; bars no more than their width, or the sides of
    // many thin bars would hide one another.
    const double least = bars ? 0.002 : 0.02;
    m_rowDepth = std::min(std::clamp(kBoxWidth / categories, least, 0.25), kMostDepth / rows);
    m_box = QVector3D(float(kBoxWidth), float(kBoxHeight), float(m_rowDepth * rows));

    const QFontMetricsF metrics(m_font);
    for (const QString& category : data.categories)
        m_widestCategory = std::max(m_widestCategory, metrics.horizontalAdvance(categoryLabel(category)));
    layOutLegend(area);
    const double shadow = look.shadow ? kShadowOffset : 0.0;
    m_backdrop = QRectF(area.left() + 8, area.top() + 8, std::max(0.0, m_legend.left() - area.left() - 16 - shadow),
                        std::max(0.0, area.height() - 16 - shadow));
    // Lay the box out with flat labels; when they must be turned, again
    // with room for turned ones (which leaves less room between them).
    CategoryLabelPlan plan = planFor(Projection3D(view, m_box, plotAreaFor(m_backdrop, CategoryLabelPlan())));
    if (plan.turned)
        plan.step = std::max(plan.step, planFor(Projection3D(view, m_box, plotAreaFor(m_backdrop, plan))).step);
    layOut(plotAreaFor(m_backdrop, plan), plan);
}

void Chart3DPainter::layOutLegend(const QRectF& area)
{
    const QFontMetricsF metrics(m_font);
    const double entryHeight = metrics.height() + 4;
    double widest = 0;
    for (const ChartSeriesData& series : m_data.series)
        widest = std::max(widest, metrics.horizontalAdvance(series.name));
    const double width = std::min(widest + 34, area.width() * 0.3);
    m_legend = QRectF(area.right() - width - 8, area.top() + 8, width, 0);
    const int fitting = std::max(1, int((area.height() - 24) / entryHeight));
    const int count = int(m_data.series.size());
    const int shown = count <= fitting ? count : fitting - 1;
    for (int s = 0; s < shown; ++s)
        m_legendEntries.append({m_data.series[s].name, seriesColour(m_look, s), s, QRectF()});
    if (shown < count)
        m_legendEntries.append({QStringLiteral("and %1 more").arg(count - shown), QColor(), -1, QRectF()});
    if (m_legendEntries.isEmpty()) {
        m_legend = QRectF(area.right(), area.top(), 0, 0);
        return;
    }
    m_legend.setHeight(m_legendEntries.size() * entryHeight + 8);
    m_legend.moveTop(area.top() + std::max(8.0, (area.height() - m_legend.height()) / 2));
    double y = m_legend.top() + 4;
    for (LegendEntry& entry : m_legendEntries) {
        entry.place = QRectF(m_legend.left() + 6, y, m_legend.width() - 12, entryHeight);
        y += entryHeight;
    }
}

QRectF Chart3DPainter::plotAreaFor(const QRectF& backdrop, const CategoryLabelPlan& plan) const
{
    const QFontMetricsF metrics(m_font);
    double widestValue = 0;
    for (double tick : m_scale.ticks())
        widestValue = std::max(widestValue, metrics.horizontalAdvance(m_scale.label(tick)));
    const double below = (plan.turned ? std::min(m_widestCategory, turnedLabelRoom()) : metrics.height()) + 10;
    return backdrop.adjusted(widestValue + 14, 10, -10, -below);
}

CategoryLabelPlan Chart3DPainter::planFor(const Projection3D& projection) const
{
    const int count = int(m_data.categories.size());
    if (count < 2)
        return {};
    const QPointF spacing =
        projection.toScreen(QVector3D(float(categoryX(1.5)), 0, 0)) - projection.toScreen(QVector3D(float(categoryX(0.5)), 0, 0));
    return planCategoryLabels(count, spacing, QSizeF(m_widestCategory, QFontMetricsF(m_font).height()));
}

double Chart3DPainter::turnedLabelRoom() const
{
    return std::max(40.0, m_area.height() * kTurnedLabelShare);
}

double Chart3DPainter::categoryX(double category) const
{
    return kBoxWidth * category / std::max<qsizetype>(1, m_data.categories.size());
}

double Chart3DPainter::level(double value) const
{
    return kBoxHeight * std::clamp(m_scale.fraction(value), 0.0, 1.0);
}

Chart3DPainter::Face Chart3DPainter::face(const Projection3D& projection, const Quad& corners,
                                          const QVector3D& normal, const QColor& colour, const ChartPick& owner) const
{
    Face made;
    for (const QVector3D& corner : corners)
        made.outline.append(projection.toScreen(corner));
    const QColor lit = shaded(colour, lightFor(projection.toView(normal)));
    made.fill = lit;
    made.pen = QPen(m_data.categories.size() <= 60 ? lit.darker(135) : lit, 0);
    made.owner = owner;
    return made;
}

void Chart3DPainter::layOut(const QRectF& plotArea, const CategoryLabelPlan& plan)
{
    const Projection3D projection(m_view, m_box, plotArea);
    addWalls(projection);
    QList<Solid> solids;
    if (m_look.type == ChartType::Bar3D)
        addBars(projection, solids);
    else
        addRibbons(projection, solids, m_look.type == ChartType::Step3D);
    std::stable_sort(solids.begin(), solids.end(), [](const Solid& a, const Solid& b) { return a.depth > b.depth; });
    for (const Solid& solid : solids)
        m_faces.append(solid.faces);
    addLabels(projection, plan);
}

void Chart3DPainter::addWalls(const Projection3D& projection)
{
    const float w = m_box.x();
    const float h = m_box.y();
    const float d = m_box.z();
    QBrush wall(kWallColour);
    if (m_look.wall == ChartLook::Wall::Solid)
        wall = QBrush(Qt::white);
    else if (m_look.wall == ChartLook::Wall::Hatched)
        wall = QBrush(Qt::white);
    const QPen edge(kEdgeColour, 0);

    auto addWall = [&](const QList<QVector3D>& corners, const QBrush& brush) {
        Face made;
        for (const QVector3D& corner : corners)
            made.outline.append(projection.toScreen(corner));
        made.fill = brush;
        made.pen = edge;
        m_walls.append(made);
    };
    // The floor, seen from above.
    addWall({{0, 0, 0}, {w, 0, 0}, {w, 0, d}, {0, 0, d}},
            QBrush(m_look.wall == ChartLook::Wall::Plain ? kFloorColour : QColor(0xf2, 0xf2, 0xf2)));

    // The sides that face away are the walls behind the data; the value
    // lines run along them.
    struct Side {
        QVector3D normal;
        QList<QVector3D> foot;  // the two floor corners of the side
    };
    const QList<Side> sides = {
        {{-1, 0, 0}, {{0, 0, 0}, {0, 0, d}}},
        {{1, 0, 0}, {{w, 0, d}, {w, 0, 0}}},
        {{0, 0, -1}, {{w, 0, 0}, {0, 0, 0}}},
        {{0, 0, 1}, {{0, 0, d}, {w, 0, d}}},
    };
    const QList<double> ticks = m_scale.ticks();
    for (const Side& side : sides) {
        if (projection.faces(side.normal))
            continue;
        const QVector3D a = side.foot[0];
        const QVector3D b = side.foot[1];
        const QVector3D up(0, h, 0);
        addWall({a, b, b + up, a + up}, wall);
        if (m_look.wall == ChartLook::Wall::Hatched)
            addWall({a, b, b + up, a + up}, QBrush(QColor(0xa0, 0xa0, 0xa0), Qt::HorPattern));
        for (double tick : ticks) {
            const QVector3D rise(0, float(level(tick)), 0);
            m_gridLines.append(QLineF(projection.toScreen(a + rise), projection.toScreen(b + rise)));
        }
    }
}

void Chart3DPainter::addBars(const Projection3D& projection, QList<Solid>& solids) const
{
    const double base = level(std::clamp(0.0, m_scale.low, m_scale.high));
    for (int s = 0; s < m_data.series.size(); ++s) {
        const QColor colour = seriesColour(m_look, s);
        const float z0 = float(m_rowDepth * (s + kRowGap / 2));
        const float z1 = float(m_rowDepth * (s + 1 - kRowGap / 2));
        const QList<std::optional<double>>& values = m_data.series[s].values;
        for (int i = 0; i < values.size() && i < m_data.categories.size(); ++i) {
            if (!values[i])
                continue;
            const float x0 = float(categoryX(i + kBarGap / 2));
            const float x1 = float(categoryX(i + 1 - kBarGap / 2));
            const double top = level(*values[i]);
            const float y0 = float(std::min(base, top));
            const float y1 = float(std::max(base, top));
            const ChartPick owner{s, i};
            const std::array<std::pair<QVector3D, Quad>, 6> sides = {{
                {QVector3D{0, 1, 0}, Quad{{{x0, y1, z0}, {x1, y1, z0}, {x1, y1, z1}, {x0, y1, z1}}}},
                {QVector3D{0, -1, 0}, Quad{{{x0, y0, z0}, {x0, y0, z1}, {x1, y0, z1}, {x1, y0, z0}}}},
                {QVector3D{0, 0, -1}, Quad{{{x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0}}}},
                {QVector3D{0, 0, 1}, Quad{{{x1, y0, z1}, {x0, y0, z1}, {x0, y1, z1}, {x1, y1, z1}}}},
                {QVector3D{-1, 0, 0}, Quad{{{x0, y0, z1}, {x0, y0, z0}, {x0, y1, z0}, {x0, y1, z1}}}},
                {QVector3D{1, 0, 0}, Quad{{{x1, y0, z0}, {x1, y0, z1}, {x1, y1, z1}, {x1, y1, z0}}}},
            }};
            Solid bar;
            bar.depth = projection.depth(QVector3D((x0 + x1) / 2, (y0 + y1) / 2, (z0 + z1) / 2));
            for (const auto& [normal, corners] : sides) {
                if (projection.faces(normal))
                    bar.faces.append(face(projection, corners, normal, colour, owner));
            }
            solids.append(bar);
        }
    }
}

void Chart3DPainter::addRibbons(const Projection3D& projection, QList<Solid>& solids, bool stairs) const
{
    // A ribbon piece is lit on the side the viewer sees.
    auto piece = [&](const Quad& corners, QVector3D normal, const QColor& colour, const ChartPick& owner) {
        if (projection.faces(-normal))
            normal = -normal;
        Solid solid;
        QVector3D centre;
        for (const QVector3D& corner : corners)
            centre += corner / 4.0f;
        solid.depth = projection.depth(centre);
        Face made = face(projection, corners, normal, colour, owner);
        made.pen = QPen(made.fill.color(), 0);
        solid.faces.append(made);
        solids.append(solid);
    };
    for (int s = 0; s < m_data.series.size(); ++s) {
        const QColor colour = seriesColour(m_look, s);
        const float z0 = float(m_rowDepth * (s + kRowGap / 2));
        const float z1 = float(m_rowDepth * (s + 1 - kRowGap / 2));
        const QList<std::optional<double>>& values = m_data.series[s].values;
        const int count = int(std::min(values.size(), m_data.categories.size()));
        for (int i = 0; i < count; ++i) {
            if (!values[i])
                continue;
            const float y = float(level(*values[i]));
            const bool hasNext = i + 1 < count && values[i + 1];
            const bool hasPrevious = i > 0 && values[i - 1];
            if (stairs) {
                // The tread across the category, and the riser up or down
                // to the next one.
                const float x0 = float(categoryX(i));
                const float x1 = float(categoryX(i + 1));
                piece(Quad{{{x0, y, z0}, {x1, y, z0}, {x1, y, z1}, {x0, y, z1}}}, {0, 1, 0}, colour, {s, i});
                if (hasNext) {
                    const float next = float(level(*values[i + 1]));
                    if (std::abs(next - y) > 1e-6f)
                        piece(Quad{{{x1, y, z0}, {x1, next, z0}, {x1, next, z1}, {x1, y, z1}}}, {1, 0, 0}, colour, {s, i + 1});
                }
                continue;
            }
            // The line runs from one category's middle to the next; each
            // half of a piece belongs to the point at its end.
            const float x = float(categoryX(i + 0.5));
            if (!hasNext && !hasPrevious) {
                const float half = float(categoryX(0.25));
                piece(Quad{{{x - half, y, z0}, {x + half, y, z0}, {x + half, y, z1}, {x - half, y, z1}}}, {0, 1, 0}, colour, {s, i});
                continue;
            }
            if (!hasNext)
                continue;
            const float nextX = float(categoryX(i + 1.5));
            const float nextY = float(level(*values[i + 1]));
            const float midX = (x + nextX) / 2;
            const float midY = (y + nextY) / 2;
            const QVector3D normal = QVector3D(-(nextY - y), nextX - x, 0).normalized();
            piece(Quad{{{x, y, z0}, {midX, midY, z0}, {midX, midY, z1}, {x, y, z1}}}, normal, colour, {s, i});
            piece(Quad{{{midX, midY, z0}, {nextX, nextY, z0}, {nextX, nextY, z1}, {midX, midY, z1}}}, normal, colour, {s, i + 1});
        }
    }
}

void Chart3DPainter::addLabels(const Projection3D& projection, const CategoryLabelPlan& plan)
{
    const float w = m_box.x();
    const float d = m_box.z();
    // The values go up the corner that stands furthest left.
    QVector3D corner(0, 0, 0);
    for (const QVector3D& candidate : {QVector3D(0, 0, 0), QVector3D(w, 0, 0), QVector3D(0, 0, d), QVector3D(w, 0, d)}) {
        if (projection.toScreen(candidate).x() < projection.toScreen(corner).x())
            corner = candidate;
    }
    for (double tick : m_scale.ticks()) {
        const QPointF at = projection.toScreen(corner + QVector3D(0, float(level(tick)), 0));
        m_valueLabels.append({at, m_scale.label(tick), Label::Place::Left});
    }
    // The categories along the floor's front edge: below it, or beside it
    // when the view looks along it and it runs down the screen.
    const float front = projection.depth(QVector3D(w / 2, 0, 0)) <= projection.depth(QVector3D(w / 2, 0, d)) ? 0.0f : d;
    const QPointF along = projection.toScreen(QVector3D(w, 0, front)) - projection.toScreen(QVector3D(0, 0, front));
    Label::Place place = plan.turned ? Label::Place::Turned : Label::Place::Below;
    if (std::abs(along.y()) > std::abs(along.x()))
        place = Label::Place::Right;
    for (int i = 0; i < m_data.categories.size(); ++i) {
        if (!plan.shows(i))
            continue;
        const QPointF at = projection.toScreen(QVector3D(float(categoryX(i + 0.5)), 0, front));
        QString text = categoryLabel(m_data.categories[i]);
        if (place == Label::Place::Turned)
            text = QFontMetricsF(m_font).elidedText(text, Qt::ElideRight, turnedLabelRoom());
        m_categoryLabels.append({at, text, place});
    }
}

void Chart3DPainter::paint(QPainter& painter) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(m_font);
    painter.fillRect(m_area, Qt::white);

    if (m_look.shadow)
        painter.fillRect(m_backdrop.translated(kShadowOffset, kShadowOffset), kShadowColour);
    painter.fillRect(m_backdrop, Qt::white);
    if (m_look.border) {
        painter.setPen(QPen(Qt::black, kBorderWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(m_backdrop);
    }

    auto drawFace = [&painter](const Face& face) {
        painter.setPen(face.pen);
        painter.setBrush(face.fill);
        painter.drawPolygon(face.outline);
    };
    for (const Face& wall : m_walls)
        drawFace(wall);
    painter.setPen(QPen(kEdgeColour, 0, Qt::DotLine));
    for (const QLineF& line : m_gridLines)
        painter.drawLine(line);
    // Many faces are drawn without smoothing, which keeps a turning chart
    // of hundreds of bars quick; they are too small for it to show.
    painter.setRenderHint(QPainter::Antialiasing, m_faces.size() <= kMostSmoothFaces);
    for (const Face& face : m_faces)
        drawFace(face);
    painter.setRenderHint(QPainter::Antialiasing);

    const QFontMetricsF metrics(m_font);
    painter.setPen(Qt::black);
    const double height = metrics.height();
    for (const QList<Label>* labels : {&m_valueLabels, &m_categoryLabels}) {
        for (const Label& label : *labels) {
            const double width = metrics.horizontalAdvance(label.text) + 2;
            const QPointF& at = label.anchor;
            switch (label.place) {
            case Label::Place::Left:
                painter.drawText(QRectF(at.x() - width - 8, at.y() - height / 2, width, height),
                                 Qt::AlignRight | Qt::AlignVCenter, label.text);
                break;
            case Label::Place::Right:
                painter.drawText(QRectF(at.x() + 8, at.y() - height / 2, width, height), Qt::AlignLeft | Qt::AlignVCenter,
                                 label.text);
                break;
            case Label::Place::Below:
                painter.drawText(QRectF(at.x() - width / 2, at.y() + 5, width, height), Qt::AlignHCenter | Qt::AlignTop,
                                 label.text);
                break;
            case Label::Place::Turned:
                painter.save();
                painter.translate(at.x(), at.y() + 5);
                painter.rotate(-90);
                painter.drawText(QRectF(-width, -height / 2, width, height), Qt::AlignRight | Qt::AlignVCenter, label.text);
                painter.restore();
                break;
            }
        }
    }

    if (!m_legendEntries.isEmpty()) {
        painter.setPen(QPen(kEdgeColour, 0));
        painter.setBrush(Qt::white);
        painter.drawRect(m_legend);
        for (const LegendEntry& entry : m_legendEntries) {
            const QRectF& line = entry.place;
            double textLeft = line.left();
            if (entry.series >= 0) {
                painter.setPen(QPen(entry.colour.darker(135), 0));
                painter.setBrush(entry.colour);
                painter.drawRect(QRectF(line.left(), line.center().y() - 5, 14, 10));
                textLeft += 20;
            }
            painter.setPen(Qt::black);
            const QRectF text(textLeft, line.top(), line.right() - textLeft, line.height());
            painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                             metrics.elidedText(entry.text, Qt::ElideRight, text.width()));
        }
    }
    painter.restore();
}

ChartPick Chart3DPainter::pick(const QPointF& at) const
{
    for (qsizetype i = m_faces.size() - 1; i >= 0; --i) {
        if (m_faces[i].outline.containsPoint(at, Qt::OddEvenFill))
            return m_faces[i].owner;
    }
    return {};
}

int Chart3DPainter::pickLegend(const QPointF& at) const
{
    for (const LegendEntry& entry : m_legendEntries) {
        if (entry.place.contains(at))
            return entry.series;
    }
    return -1;
}

QList<QPolygonF> Chart3DPainter::outlinesOf(const ChartPick& point) const
{
    QList<QPolygonF> outlines;
    for (const Face& face : m_faces) {
        if (face.owner == point)
            outlines.append(face.outline);
    }
    return outlines;
}

// ---- auto rotation ------------------------------------------------------------

void AutoRotation::start(const View3D& current)
{
    if (m_turning)
        return;
    m_view = current;
    m_turning = true;
}

View3D AutoRotation::tick()
{
    m_view = turnedBy(m_view, 1.0);
    return m_view;
}

void AutoRotation::stop()
{
    m_turning = false;
}

}  // namespace viewer
