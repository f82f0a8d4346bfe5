// Pens and brushes. Created ones are recycled through free lists, because a
// slider repaint creates and deletes a pen for every pixel row of its track;
// after the first repaint that costs no allocation.
#include <deque>
#include <vector>

#include "platform/canvas.h"
#include "platform/portable/paint_objects.h"

namespace {

template <typename Object>
struct Pool {
    std::deque<Object> storage;  // addresses never move
    std::vector<Object*> free;

    Object* take()
    {
        Object* object = nullptr;
        if (free.empty()) {
            object = &storage.emplace_back();
        } else {
            object = free.back();
            free.pop_back();
        }
        *object = Object{};
        object->live = true;
        return object;
    }
    void give_back(Object* object)
    {
        if (!object || object->stock || !object->live)
            return;  // stock objects are never freed; a second delete does nothing
        object->live = false;
        free.push_back(object);
    }
};

Pool<Pen>& pens()
{
    static Pool<Pen> pool;
    return pool;
}

Pool<Brush>& brushes()
{
    static Pool<Brush> pool;
    return pool;
}

Pen stock_black_pen{0x000000, true, true};
Pen stock_white_pen{0xFFFFFF, true, true};
Brush stock_black_brush{0x000000, false, true, true};
Brush stock_white_brush{0xFFFFFF, false, true, true};
Brush stock_grey_brush{0x808080, false, true, true};
Brush stock_hollow_brush{0x000000, true, true, true};

}  // namespace

PenHandle create_pen(std::uint32_t colour)
{
    Pen* pen = pens().take();
    pen->colour = colour & 0xFFFFFF;
    return pen;
}

BrushHandle create_brush(std::uint32_t colour)
{
    Brush* brush = brushes().take();
    brush->colour = colour & 0xFFFFFF;
    return brush;
}

void delete_pen(PenHandle pen) { pens().give_back(pen); }
void delete_brush(BrushHandle brush) { brushes().give_back(brush); }

PenHandle black_pen() { return &stock_black_pen; }
PenHandle white_pen() { return &stock_white_pen; }
BrushHandle black_brush() { return &stock_black_brush; }
BrushHandle grey_brush() { return &stock_grey_brush; }
BrushHandle hollow_brush() { return &stock_hollow_brush; }
Brush* white_brush() { return &stock_white_brush; }
