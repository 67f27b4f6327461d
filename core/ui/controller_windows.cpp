#include "core/ui/controller_windows.h"

#include "core/ui/form_about.h"
#include "core/ui/form_maim.h"
#include "dmx/ui/form_usb_com.h"
#include "dmx/ui/form_visual.h"
#include "playback/ui/form_button.h"
#include "playback/ui/form_input.h"
#include "playback/ui/form_sound.h"
#include "sequencer/ui/form_sequenser.h"

namespace spirelo {

namespace {

// Construct, assign the global, then FormCreate.
template <class Form>
void Create(Form*& global) {
    global = new Form();
    global->FormCreate();
}

template <class Form>
void Destroy(Form*& global) {
    delete global;
    global = nullptr;
}

}  // namespace

void CreateControllerWindows() {
    Create(FormMaim);
    Create(FormSound);
    Create(FormSequenser);
    Create(FormAbout);
    Create(FormUSB_COM);
    Create(FormInput);
    Create(FormVisual);
    Create(FormButton);
    // The show and the sequencer file the start opened, as the windows now hold them.
    FormSound->ShowFilesTakenUp(true, true);
}

void DestroyControllerWindows() {
    Destroy(FormButton);
    Destroy(FormVisual);
    Destroy(FormInput);
    Destroy(FormUSB_COM);
    Destroy(FormAbout);
    Destroy(FormSequenser);
    Destroy(FormSound);
    Destroy(FormMaim);
}

}  // namespace spirelo
