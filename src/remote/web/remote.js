// The phone remote: pairs with the program and drives its live controls.
"use strict";
document.getElementById("app").textContent = "Karaoke DSP Remote";
