// Option groups: every option button of one container window is listed in
// window properties of that container, so buttons find each other without a
// shared object:
//
//   "kx_OptCount"            number of members (absent: 0)
//   "kx_Obj1" .. "kx_ObjN"   address of each member, in joining order
//
// The addresses are plain pointers. They stay valid because a button removes
// itself from its group when it is torn down (leaveAllGroupsAtTeardown).

#include <button/kxButtons_H.h>

#include <host/window.h>

#include <QByteArray>

namespace {

const char kOptCount[] = "kx_OptCount";

QByteArray slotName(int slot)
{
    return QByteArray("kx_Obj") + QByteArray::number(slot);
}

kxButtons_H *memberAt(HWND container, int slot)
{
    return reinterpret_cast<kxButtons_H *>(GetPropA(container, slotName(slot).constData()));
}

HANDLE addressOf(const kxButtons_H *control)
{
    return reinterpret_cast<HANDLE>(control);
}

} // namespace

HWND kxButtons_H::containerWindow() const
{
    // The container's handle as recorded in the tag at initialisation.
    bool ok = false;
    const qlonglong handle = Tag().toLongLong(&ok);
    return ok ? HWND(handle) : HWND(0);
}

void kxButtons_H::optionToggle(std::int16_t action)
{
    bool result = false;
    OptionToggle(action, result);
}

void kxButtons_H::OptionToggle(std::int16_t &action, bool &result)
{
    result = false;
    const HWND container = containerWindow();
    const auto count = std::int16_t(GetPropA(container, kOptCount));

    // Clearing the others runs for every action: joining while selected and
    // selecting both deselect the rest of the group.
    if ((action == 1 || count > 0) && m_toggle.value != False) {
        for (int slot = 1; slot <= count; ++slot) {
            kxButtons_H *member = memberAt(container, slot);
            if (member == nullptr)
                return; // a missing slot ends the routine quietly
            if (member != this)
                member->Value(false);
        }
    }

    switch (action) {
    case 1:
        SetPropA(container, kOptCount, HANDLE(count + 1));
        SetPropA(container, slotName(count + 1).constData(), addressOf(this));
        break;
    case 2:
        for (int slot = 1; slot <= count; ++slot) {
            kxButtons_H *member = memberAt(container, slot);
            if (member == nullptr)
                return;
            if (member->Value()) {
                result = true;
                break;
            }
        }
        break;
    case -1: {
        int found = 0;
        for (int slot = 1; slot <= count; ++slot) {
            const HANDLE address = GetPropA(container, slotName(slot).constData());
            if (found == 0) {
                if (address == addressOf(this))
                    found = slot;
            } else {
                SetPropA(container, slotName(slot - 1).constData(), address);
            }
        }
        // A button that is not listed leaves nothing: shortening the list
        // anyway would drop the last member of the group.
        if (found == 0)
            break;
        RemovePropA(container, slotName(count).constData());
        if (count - 1 > 0)
            SetPropA(container, kOptCount, HANDLE(count - 1));
        else
            RemovePropA(container, kOptCount);
        break;
    }
    default:
        break;
    }
}

bool kxButtons_H::isGroupMember() const
{
    const HWND container = containerWindow();
    const auto count = std::int16_t(GetPropA(container, kOptCount));
    for (int slot = 1; slot <= count; ++slot) {
        if (memberAt(container, slot) == this)
            return true;
    }
    return false;
}

void kxButtons_H::leaveAllGroupsAtTeardown()
{
    // Leave as many times as the button is listed (joining does not check
    // for an existing entry).
    // The others' values are left alone: nothing is being selected.
    m_toggle.value = False;
    while (isGroupMember()) {
        std::int16_t leave = -1;
        bool unused = false;
        OptionToggle(leave, unused);
    }
    const HWND own = hwndOf(this);
    if (own != 0 && GetPropA(own, "kx_ClassID") == addressOf(this)) {
        KillTimer(own, kHoverTimerId);
        RemovePropA(own, "kx_ClassID");
        RemovePropA(own, "kx_TimerID");
    }
}
