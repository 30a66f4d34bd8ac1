int serDummy(){return 0;}
